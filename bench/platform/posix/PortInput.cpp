#include "PortInput.h"

// On POSIX a port handle is the descriptor of the open device.

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

namespace {

constexpr int kQuietMs = 50;
constexpr std::chrono::milliseconds kLongest(1000);

// Reads and drops the input until the line has been quiet for a moment.
void readUntilQuiet(int fd)
{
    const auto deadline = std::chrono::steady_clock::now() + kLongest;
    uint8_t dropped[256];
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd ready{fd, POLLIN, 0};
        const int polled = poll(&ready, 1, kQuietMs);
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0 || !(ready.revents & POLLIN))
            return; // quiet, or the device is gone
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

void settleLine(PortHandle fd)
{
    if (!isatty(fd))
        return;
    tcflush(fd, TCOFLUSH);
    readUntilQuiet(fd);
    // Bytes of a read that the deadline cut short.
    tcflush(fd, TCIFLUSH);
}
