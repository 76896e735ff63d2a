// The port primitives on termios.
#include "PortPrimitives.h"

#include <termios.h>

#include "DeviceAccess.h"
#include "LineSettings.h"
#include "LowLatency.h"
#include "OpenCauses.h"
#include "PortNaming.h"
#include "TimedIo.h"

namespace pontel {

std::string portIdentity(const std::string &path)
{
    return canonicalPath(path);
}

bool setUpPort(int fd, const std::string &path, const LineSettings &line, const ReadLimits &, const WriteLimits &,
               OpenFailure &why)
{
    // The time-outs are kept by the export layer and applied at each read
    // and write (TimedIo).
    if (!applyLineSettings(fd, line)) {
        why = settingsCause(path);
        return false;
    }
    requestLowLatency(fd);
    tcflush(fd, TCIOFLUSH);
    return true;
}

void closePort(int fd)
{
    restoreLatency(fd);
    releaseDevice(fd);
}

int32_t readPort(int fd, uint8_t *buffer, int32_t count, const ReadLimits &limits, int32_t *end)
{
    return readWithin(fd, buffer, count, limits, end);
}

bool writePort(int fd, const uint8_t *bytes, int32_t count, const WriteLimits &limits)
{
    return writeWithin(fd, bytes, count, limits);
}

} // namespace pontel
