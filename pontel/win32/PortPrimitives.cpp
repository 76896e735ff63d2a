// The port primitives on the Win32 communications functions.
#include "PortPrimitives.h"

#include "DeviceAccess.h"
#include "LineSettings.h"
#include "PortNaming.h"
#include "TimedIo.h"

namespace pontel {

std::string portIdentity(const std::string &path)
{
    return canonicalPath(path);
}

bool setUpPort(int handle, const std::string &path, const LineSettings &line, const ReadLimits &read,
               const WriteLimits &write, OpenFailure &why)
{
    // The driver keeps the time-outs (COMMTIMEOUTS) and applies them itself.
    const HANDLE device = deviceHandle(handle);
    if (!applyLineSettings(device, line) || !applyTimeouts(device, read, write)) {
        why = settingsCause(path);
        return false;
    }
    PurgeComm(device, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    return true;
}

void closePort(int handle)
{
    releaseDevice(handle);
}

int32_t readPort(int handle, uint8_t *buffer, int32_t count, const ReadLimits &, int32_t *end)
{
    return readWithin(deviceHandle(handle), buffer, count, end);
}

bool writePort(int handle, const uint8_t *bytes, int32_t count, const WriteLimits &)
{
    return writeWithin(deviceHandle(handle), bytes, count);
}

} // namespace pontel
