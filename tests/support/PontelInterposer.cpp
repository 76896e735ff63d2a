// Definitions of the Pontel functions that forward to the installed test
// backend (see PortBackend.h). On Linux they are linked into the test
// executable and take precedence over libPontel.so (the executable exports
// its symbols, CMake ENABLE_EXPORTS, for the library's calls to reach them).
// On Windows they are a stand-in Pontel.dll that the test programs find
// beside them, in place of the real one, as Ravlin.dll does.
#include "PontelDeclar.h"
#include "PortBackend.h"

#include <algorithm>
#include <map>
#include <string>
#include <mutex>

#include "ExchangeRecord.h"

namespace {
PortBackend *g_backend = nullptr;

// What each handle carried, as Pontel records it.
std::mutex g_recordsMutex;
std::map<PortHandle, pontel::ExchangeRecord> g_records;

pontel::ExchangeRecord &recordOf(PortHandle handle)
{
    std::lock_guard<std::mutex> lock(g_recordsMutex);
    return g_records[handle];
}
} // namespace

PORT_BACKEND_API PortBackend *installPortBackend(PortBackend *backend)
{
    PortBackend *previous = g_backend;
    g_backend = backend;
    return previous;
}

extern "C" {

PONTEL_API CCBool PortComFree(uint8_t n)
{
    return g_backend && g_backend->portFree(n);
}

PONTEL_API PortHandle ComInit(uint8_t n, int32_t baud, int32_t dataBits,
                                                          int32_t parity, int32_t stopBits,
                                                          int32_t readInterval, int32_t readTotalPerByte,
                                                          int32_t readTotalConstant,
                                                          int32_t writeTotalPerByte,
                                                          int32_t writeTotalConstant)
{
    const int32_t settings[9] = {baud, dataBits, parity, stopBits, readInterval, readTotalPerByte,
                                 readTotalConstant, writeTotalPerByte, writeTotalConstant};
    const PortHandle handle = g_backend ? g_backend->open(n, settings) : -1;
    if (handle > 0) {
        std::lock_guard<std::mutex> lock(g_recordsMutex);
        g_records.erase(handle);
    }
    return handle;
}

PONTEL_API CCBool CloseCom(PortHandle *port)
{
    return g_backend && port && g_backend->close(*port);
}

PONTEL_API CCBool SendToCom(PortHandle *port, const uint8_t *bytes, int32_t count)
{
    if (!g_backend || !port)
        return 0;
    if (g_backend->isOpen(*port) && count > 0 && bytes)
        recordOf(*port).wrote(bytes, count);
    return g_backend->send(*port, bytes, count);
}

PONTEL_API CCBool RcvFromCom(PortHandle *port, uint8_t *buffer, int32_t count)
{
    if (!g_backend || !port)
        return 0;
    const int32_t got = g_backend->receiveSome(*port, buffer, count);
    if (got >= 0 && g_backend->isOpen(*port))
        recordOf(*port).read(buffer, got, got == count ? PONTEL_READ_COMPLETE : PONTEL_READ_TIMED_OUT);
    return got == count ? 1 : 0;
}

PONTEL_API CCBool PontelIsOpen(PortHandle handle)
{
    return g_backend && g_backend->isOpen(handle);
}

PONTEL_API int32_t PontelReadUpTo(PortHandle *port, uint8_t *buffer, int32_t max)
{
    if (!g_backend || !port)
        return -1;
    const int32_t got = g_backend->receiveUpTo(*port, buffer, max);
    if (got >= 0 && max > 0)
        recordOf(*port).read(buffer, got, got == max ? PONTEL_READ_COMPLETE : PONTEL_READ_TIMED_OUT);
    return got;
}

PONTEL_API int32_t PontelOpenFailure(uint8_t n, char *text, int32_t size)
{
    std::string line;
    const int32_t cause = g_backend ? g_backend->openFailure(n, line) : 0;
    if (text && size > 0) {
        const size_t kept = std::min(line.size(), static_cast<size_t>(size - 1));
        std::copy(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(kept), text);
        text[kept] = '\0';
    }
    return cause;
}

PONTEL_API CCBool PontelLastExchange(PortHandle handle, PontelExchange *exchange)
{
    if (!g_backend || !exchange || !g_backend->isOpen(handle))
        return 0;
    *exchange = recordOf(handle).last();
    return 1;
}

} // extern "C"
