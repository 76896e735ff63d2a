#include "LineSettings.h"

namespace pontel {

namespace {

struct SpeedEntry
{
    int32_t baud;
    speed_t constant;
};

// The speeds termios names; any other rate is refused rather than rounded.
constexpr SpeedEntry kSpeeds[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},
    {150, B150},       {200, B200},       {300, B300},       {600, B600},
    {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},
#ifdef B57600
    {57600, B57600},
#endif
#ifdef B115200
    {115200, B115200},
#endif
#ifdef B230400
    {230400, B230400},
#endif
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B500000
    {500000, B500000},
#endif
#ifdef B576000
    {576000, B576000},
#endif
#ifdef B921600
    {921600, B921600},
#endif
#ifdef B1000000
    {1000000, B1000000},
#endif
#ifdef B1152000
    {1152000, B1152000},
#endif
#ifdef B1500000
    {1500000, B1500000},
#endif
#ifdef B2000000
    {2000000, B2000000},
#endif
#ifdef B2500000
    {2500000, B2500000},
#endif
#ifdef B3000000
    {3000000, B3000000},
#endif
#ifdef B3500000
    {3500000, B3500000},
#endif
#ifdef B4000000
    {4000000, B4000000},
#endif
};

bool speedConstant(int32_t baud, speed_t &constant)
{
    for (const SpeedEntry &entry : kSpeeds) {
        if (entry.baud == baud) {
            constant = entry.constant;
            return true;
        }
    }
    return false;
}

bool parityValid(int32_t parity)
{
#ifdef CMSPAR
    return parity >= 0 && parity <= 4;
#else
    return parity >= 0 && parity <= 2;
#endif
}

tcflag_t characterSize(int32_t dataBits)
{
    switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

} // namespace

bool lineSettingsValid(const LineSettings &settings)
{
    speed_t constant;
    return speedConstant(settings.baud, constant) && settings.dataBits >= 5
           && settings.dataBits <= 8 && parityValid(settings.parity)
           && (settings.stopBits == 1 || settings.stopBits == 2);
}

bool makeRawAttributes(const LineSettings &settings, termios &tio)
{
    speed_t speed;
    if (!lineSettingsValid(settings) || !speedConstant(settings.baud, speed))
        return false;

    cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    tio.c_oflag &= ~OPOST;
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB);
#ifdef CRTSCTS
    tio.c_cflag &= ~CRTSCTS;
#endif
#ifdef CMSPAR
    tio.c_cflag &= ~CMSPAR;
#endif
    tio.c_cflag |= CLOCAL | CREAD | characterSize(settings.dataBits);
    switch (settings.parity) {
    case 1: tio.c_cflag |= PARENB | PARODD; break;
    case 2: tio.c_cflag |= PARENB; break;
#ifdef CMSPAR
    case 3: tio.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 4: tio.c_cflag |= PARENB | CMSPAR; break;
#endif
    default: break;
    }
    if (settings.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return cfsetispeed(&tio, speed) == 0 && cfsetospeed(&tio, speed) == 0;
}

bool applyLineSettings(int fd, const LineSettings &settings)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0 || !makeRawAttributes(settings, tio))
        return false;
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        return false;

    // tcsetattr succeeds when any one change took: read back the speed and
    // the raw mode. (The character size is not checked: a pseudo-terminal
    // always reports 8 bits, and has no line on which it would matter.)
    termios applied{};
    return tcgetattr(fd, &applied) == 0 && cfgetospeed(&applied) == cfgetospeed(&tio)
           && (applied.c_lflag & (ICANON | ECHO | ISIG)) == 0 && applied.c_cc[VMIN] == 0
           && applied.c_cc[VTIME] == 0;
}

} // namespace pontel
