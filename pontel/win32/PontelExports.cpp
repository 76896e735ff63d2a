// The exported functions of Pontel on Windows: the same argument checks and
// handle table as the POSIX backend, with the work done by CreateFileA,
// SetCommState, SetCommTimeouts, PurgeComm, ReadFile and WriteFile.
#include "PontelDeclar.h"

#include <initializer_list>
#include <memory>
#include <mutex>

#include "DeviceAccess.h"
#include "HandleTable.h"
#include "LineSettings.h"
#include "OpenFailures.h"
#include "PortNaming.h"
#include "TimedIo.h"

using namespace pontel;

namespace {

// Opening, closing and probing run one at a time, so that a port number is
// never opened twice by two racing calls.
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
    else if (HandleTable::instance().pathOpen(canonicalPath(path)))
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
    // earlier is let go whatever happens next.
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
    recordOpenFailure(n, why);
    if (handle < 0)
        return -1;
    auto port = std::make_shared<OpenPort>(handle, n, canonicalPath(path), read, write);
    const HANDLE device = deviceHandle(handle);
    if (!applyLineSettings(device, line) || !applyTimeouts(device, read, write)) {
        recordOpenFailure(n, settingsCause(path));
        return -1; // the port object closes the device
    }
    // A freshly opened port starts empty: bytes an earlier user of the line
    // left unread would otherwise be taken for the first reply.
    PurgeComm(device, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    HandleTable::instance().add(port);
    return handle;
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
    if (writeWithin(deviceHandle(open->fd()), bytes, count))
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
    const int32_t got = readWithin(deviceHandle(open->fd()), buffer, count, &end);
    open->record().read(buffer, got, end);
    return got == count ? 1 : 0;
}

PONTEL_API int32_t PontelReadUpTo(PortHandle *port, uint8_t *buffer, int32_t max)
{
    const std::shared_ptr<OpenPort> open = openPortFor(port);
    if (!open)
        return -1;
    if (max <= 0 || !buffer)
        return 0;
    int32_t end = PONTEL_READ_COMPLETE;
    const int32_t got = readWithin(deviceHandle(open->fd()), buffer, max, &end);
    open->record().read(buffer, got, end);
    return got;
}

} // extern "C"
