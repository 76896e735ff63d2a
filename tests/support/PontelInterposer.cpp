// Definitions of the Pontel functions that forward to the installed test
// backend (see PortBackend.h). On Linux they are linked into the test
// executable and take precedence over libPontel.so (the executable exports
// its symbols, CMake ENABLE_EXPORTS, for the library's calls to reach them).
// On Windows they are a stand-in Pontel.dll that the test programs find
// beside them, in place of the real one, as Ravlin.dll does.
#include "PontelDeclar.h"
#include "PortBackend.h"

namespace {
PortBackend *g_backend = nullptr;
}

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
    return g_backend ? g_backend->open(n, settings) : -1;
}

PONTEL_API CCBool CloseCom(PortHandle *port)
{
    return g_backend && port && g_backend->close(*port);
}

PONTEL_API CCBool SendToCom(PortHandle *port, const uint8_t *bytes, int32_t count)
{
    return g_backend && port && g_backend->send(*port, bytes, count);
}

PONTEL_API CCBool RcvFromCom(PortHandle *port, uint8_t *buffer, int32_t count)
{
    return g_backend && port && g_backend->receive(*port, buffer, count);
}

PONTEL_API CCBool PontelIsOpen(PortHandle handle)
{
    return g_backend && g_backend->isOpen(handle);
}

PONTEL_API int32_t PontelReadUpTo(PortHandle *port, uint8_t *buffer, int32_t max)
{
    return (g_backend && port) ? g_backend->receiveUpTo(*port, buffer, max) : -1;
}

} // extern "C"
