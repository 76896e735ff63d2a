// The exported functions of Pontel: argument checks, the open lock, the
// handle table, the records of exchanges and failed opens, and the calls
// into the port primitives of the system (PortPrimitives.h). Nothing here
// knows which system it runs on.
#include "PontelDeclar.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <mutex>

#include "HandleTable.h"
#include "OpenFailures.h"
#include "PortPrimitives.h"

using namespace pontel;

namespace {

// Opening, closing and probing run one at a time, so that a port number or a
// device is never opened twice by two racing calls.
std::mutex g_openMutex;

std::shared_ptr<OpenPort> openPortFor(const PortHandle *port)
{
    return port ? HandleTable::instance().find(*port) : nullptr;
}

bool timeoutsValid(std::initializer_list<int32_t> values)
{
    for (int32_t value : values)
        if (value < 0)
            return false;
    return true;
}

} // namespace

extern "C" {

PONTEL_API CCBool PortComFree(uint8_t n)
{
    std::lock_guard<std::mutex> lock(g_openMutex);
    const std::string path = devicePathForPort(n);
    OpenFailure why;
    if (path.empty())
        why = noDeviceCause(n);
    else if (HandleTable::instance().pathOpen(portIdentity(path)))
        why = openHereCause(path);
    else
        deviceFreeNow(path, why);
    recordOpenFailure(n, why);
    return why.cause == PONTEL_OPEN_OK ? 1 : 0;
}

PONTEL_API PortHandle ComInit(uint8_t n, int32_t baud, int32_t dataBits, int32_t parity,
                              int32_t stopBits, int32_t readInterval, int32_t readTotalPerByte,
                              int32_t readTotalConstant, int32_t writeTotalPerByte,
                              int32_t writeTotalConstant)
{
    std::lock_guard<std::mutex> lock(g_openMutex);
    // The caller replaces its handle with our answer, so a port number opened
    // earlier is let go whatever happens next: it would otherwise stay open
    // and locked with nobody holding its handle.
    HandleTable::instance().removePortNumber(n);

    const LineSettings line{baud, dataBits, parity, stopBits};
    const ReadLimits read{readInterval, readTotalPerByte, readTotalConstant};
    const WriteLimits write{writeTotalPerByte, writeTotalConstant};
    if (!lineSettingsValid(line)
        || !timeoutsValid({readInterval, readTotalPerByte, readTotalConstant, writeTotalPerByte,
                           writeTotalConstant})) {
        recordOpenFailure(n, unsupportedSettingsCause());
        return -1;
    }
    const std::string path = devicePathForPort(n);
    if (path.empty()) {
        recordOpenFailure(n, noDeviceCause(n));
        return -1;
    }

    OpenFailure why;
    const int handle = openExclusive(path, why);
    if (handle >= 0) {
        auto port = std::make_shared<OpenPort>(handle, n, portIdentity(path), read, write);
        if (setUpPort(handle, path, line, read, write, why))
            HandleTable::instance().add(port);
    }
    // The port object releases the device when the set-up failed.
    recordOpenFailure(n, why);
    return why.cause == PONTEL_OPEN_OK ? handle : -1;
}

PONTEL_API CCBool CloseCom(PortHandle *port)
{
    if (!port)
        return 0;
    std::lock_guard<std::mutex> lock(g_openMutex);
    return HandleTable::instance().remove(*port) ? 1 : 0;
}

PONTEL_API CCBool SendToCom(PortHandle *port, const uint8_t *bytes, int32_t count)
{
    const std::shared_ptr<OpenPort> open = openPortFor(port);
    if (!open || count < 0 || (count > 0 && !bytes))
        return 0;
    open->record().wrote(bytes, count);
    if (writePort(open->fd(), bytes, count, open->writeLimits()))
        return 1;
    open->record().writeFailed();
    return 0;
}

PONTEL_API CCBool RcvFromCom(PortHandle *port, uint8_t *buffer, int32_t count)
{
    const std::shared_ptr<OpenPort> open = openPortFor(port);
    if (!open || count < 0 || (count > 0 && !buffer))
        return 0;
    int32_t end = PONTEL_READ_COMPLETE;
    const int32_t got = readPort(open->fd(), buffer, count, open->readLimits(), &end);
    open->record().read(buffer, got, end);
    return got == count ? 1 : 0;
}

PONTEL_API CCBool PontelIsOpen(PortHandle handle)
{
    return HandleTable::instance().find(handle) ? 1 : 0;
}

PONTEL_API int32_t PontelReadUpTo(PortHandle *port, uint8_t *buffer, int32_t max)
{
    const std::shared_ptr<OpenPort> open = openPortFor(port);
    if (!open)
        return -1;
    if (max <= 0 || !buffer)
        return 0;
    int32_t end = PONTEL_READ_COMPLETE;
    const int32_t got = readPort(open->fd(), buffer, max, open->readLimits(), &end);
    open->record().read(buffer, got, end);
    return got;
}

PONTEL_API CCBool PontelLastExchange(PortHandle handle, PontelExchange *exchange)
{
    const std::shared_ptr<OpenPort> open = HandleTable::instance().find(handle);
    if (!open || !exchange)
        return 0;
    *exchange = open->record().last();
    return 1;
}

PONTEL_API int32_t PontelOpenFailure(uint8_t n, char *text, int32_t size)
{
    const OpenFailure failure = openFailureOf(n);
    if (text && size > 0) {
        const size_t kept = std::min(failure.text.size(), size_t(size - 1));
        std::memcpy(text, failure.text.data(), kept);
        text[kept] = '\0';
    }
    return failure.cause;
}

} // extern "C"
