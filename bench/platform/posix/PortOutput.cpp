#include "PortOutput.h"

// On POSIX a port handle is the descriptor of the open device.

#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "Waits.h"

namespace {

struct Speed
{
    speed_t constant;
    long baud;
};

constexpr Speed kSpeeds[] = {
    {B50, 50},         {B75, 75},         {B110, 110},       {B134, 134},
    {B150, 150},       {B200, 200},       {B300, 300},       {B600, 600},
    {B1200, 1200},     {B1800, 1800},     {B2400, 2400},     {B4800, 4800},
    {B9600, 9600},     {B19200, 19200},   {B38400, 38400},   {B57600, 57600},
    {B115200, 115200}, {B230400, 230400},
#ifdef B460800
    {B460800, 460800},
#endif
#ifdef B921600
    {B921600, 921600},
#endif
};

// The time one character takes on the line: start bit, data bits, parity
// bit, stop bits. Zero when the rate is not one of the table's.
std::chrono::nanoseconds characterTime(const termios &line)
{
    const speed_t speed = cfgetospeed(&line);
    long baud = 0;
    for (const Speed &entry : kSpeeds)
        if (entry.constant == speed)
            baud = entry.baud;
    if (baud == 0)
        return std::chrono::nanoseconds(0);
    int dataBits = 8;
    switch (line.c_cflag & CSIZE) {
    case CS5: dataBits = 5; break;
    case CS6: dataBits = 6; break;
    case CS7: dataBits = 7; break;
    default: break;
    }
    const int bits = 1 + dataBits + ((line.c_cflag & PARENB) ? 1 : 0) + ((line.c_cflag & CSTOPB) ? 2 : 1);
    return std::chrono::nanoseconds(bits * 1'000'000'000LL / baud);
}

} // namespace

void waitUntilSent(PortHandle fd, int count, std::chrono::steady_clock::time_point writeStart)
{
    // Serial devices and pseudo-terminals only: never touch another kind of
    // descriptor that happens to carry the same number.
    if (!isatty(fd))
        return;
    while (tcdrain(fd) != 0 && errno == EINTR) {
    }
    // A pseudo-terminal, and many USB adapters, report the output drained
    // while the bytes are still on their way (in the peer's or the adapter's
    // buffer): a write never counts as done before the line can have
    // carried it, or a fast writer runs ahead of the line and its bytes keep
    // arriving long after it stopped.
    termios line{};
    if (tcgetattr(fd, &line) != 0 || count <= 0)
        return;
    sleepUntil(writeStart + characterTime(line) * count);
}
