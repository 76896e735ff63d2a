#include "DeviceAccess.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace pontel {

namespace {

void closeDescriptor(int fd)
{
    // close() is not retried on EINTR: on Linux the descriptor is gone anyway.
    ::close(fd);
}

// Opens path as a terminal, on a descriptor above the standard three (a
// process started with stdin closed would otherwise get a handle of 0, which
// callers read as "no port").
int openTerminal(const std::string &path)
{
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    if (fd <= STDERR_FILENO) {
        const int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
        closeDescriptor(fd);
        if (moved < 0)
            return -1;
        fd = moved;
    }
    if (!isatty(fd)) {
        closeDescriptor(fd);
        return -1;
    }
    return fd;
}

bool lockExclusive(int fd)
{
    int result;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// Whether another user put the terminal in exclusive mode. Root's opens pass
// exclusive mode, so root asks.
bool exclusiveModeSet(int fd)
{
#ifdef TIOCGEXCL
    int exclusive = 0;
    return ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
#else
    (void)fd;
    return false;
#endif
}

} // namespace

int openExclusive(const std::string &path)
{
    if (path.empty())
        return -1;
    const int fd = openTerminal(path);
    if (fd < 0)
        return -1;
    if (exclusiveModeSet(fd) || !lockExclusive(fd) || ioctl(fd, TIOCEXCL) != 0) {
        // Only a lock of our own is dropped by the close; exclusive mode was
        // not set by us and stays as its owner left it.
        closeDescriptor(fd);
        return -1;
    }
    return fd;
}

void releaseDevice(int fd)
{
    if (fd < 0)
        return;
    ioctl(fd, TIOCNXCL);
    flock(fd, LOCK_UN);
    closeDescriptor(fd);
}

bool deviceFreeNow(const std::string &path)
{
    if (path.empty())
        return false;
    const int fd = openTerminal(path);
    if (fd < 0)
        return false;
    const bool free = !exclusiveModeSet(fd) && lockExclusive(fd);
    if (free)
        flock(fd, LOCK_UN);
    closeDescriptor(fd);
    return free;
}

} // namespace pontel
