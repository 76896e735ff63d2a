#include "PortInput.h"

// On POSIX a port handle is the descriptor of the open device.

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>

namespace {

constexpr int kQuietMs = 50;
constexpr std::chrono::milliseconds kLongest(1000);

// Reads and drops the input for windowMs, then until the line has been
// quiet for a moment.
void readUntilQuiet(int fd, int windowMs)
{
    using Clock = std::chrono::steady_clock;
    const auto windowEnd = Clock::now() + std::chrono::milliseconds(windowMs);
    const auto deadline = windowEnd + kLongest;
    uint8_t dropped[256];
    while (Clock::now() < deadline) {
        const auto toWindowEnd = std::chrono::ceil<std::chrono::milliseconds>(windowEnd - Clock::now()).count();
        pollfd ready{fd, POLLIN, 0};
        const int polled = poll(&ready, 1, std::max<int>(kQuietMs, int(toWindowEnd)));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled == 0 && Clock::now() >= windowEnd)
            return; // quiet
        if (polled < 0 || (polled > 0 && !(ready.revents & POLLIN)))
            return; // the device is gone
        if (polled == 0)
            continue;
        const ssize_t got = read(fd, dropped, sizeof dropped);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
            return;
    }
}

} // namespace

void dropUnreadInput(PortHandle fd)
{
    // Serial devices and pseudo-terminals only: never touch another kind of
    // descriptor that happens to carry the same number.
    if (isatty(fd))
        tcflush(fd, TCIFLUSH);
}

void settleLine(PortHandle fd, int windowMs)
{
    if (!isatty(fd))
        return;
    tcflush(fd, TCOFLUSH);
    readUntilQuiet(fd, windowMs);
    // Bytes of a read that the deadline cut short.
    tcflush(fd, TCIFLUSH);
}
