#include "DeviceAccess.h"

#include "OpenCauses.h"

#include <cerrno>
#include <mutex>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
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
int openTerminal(const std::string &path, OpenFailure &why)
{
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        why = openErrorCause(errno, path);
        return -1;
    }
    if (fd <= STDERR_FILENO) {
        const int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
        const int error = errno;
        closeDescriptor(fd);
        if (moved < 0) {
            why = openErrorCause(error, path);
            return -1;
        }
        fd = moved;
    }
    if (!isatty(fd)) {
        closeDescriptor(fd);
        why = notSerialCause(path);
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

// Whether another program put the terminal in exclusive mode (we never do).
// Root's opens pass exclusive mode, so root asks, and leaves such a terminal
// alone as a non-root user has to.
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

// Handles are descriptor numbers; see openExclusive for why they go round.
constexpr int kLowestHandle = STDERR_FILENO + 1;
constexpr int kHandleNumbers = 1024; // select()'s limit: numbers stay below it
std::mutex g_handleMutex;
int g_nextHandle = kLowestHandle;

int handleCeiling()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < rlim_t(kHandleNumbers))
        return static_cast<int>(limit.rlim_cur);
    return kHandleNumbers;
}

// Moves fd to the lowest free number from the next one in turn; when none is
// free up to the ceiling, goes round to the lowest. Keeps fd where it is when
// no number can be had at all.
int moveToFreshNumber(int fd)
{
    const int ceiling = handleCeiling();
    std::lock_guard<std::mutex> lock(g_handleMutex);
    if (g_nextHandle < kLowestHandle || g_nextHandle >= ceiling)
        g_nextHandle = kLowestHandle;
    int moved = fcntl(fd, F_DUPFD_CLOEXEC, g_nextHandle);
    if (moved >= ceiling) {
        closeDescriptor(moved);
        moved = -1;
    }
    if (moved < 0 && g_nextHandle > kLowestHandle)
        moved = fcntl(fd, F_DUPFD_CLOEXEC, kLowestHandle);
    if (moved < 0)
        return fd;
    closeDescriptor(fd);
    g_nextHandle = moved + 1;
    return moved;
}

} // namespace

int openExclusive(const std::string &path, OpenFailure &why)
{
    const int fd = openTerminal(path, why);
    if (fd < 0)
        return -1;
    if (exclusiveModeSet(fd) || !lockExclusive(fd)) {
        // Only a lock of our own is dropped by the close; another program's
        // exclusive mode stays as its owner left it.
        closeDescriptor(fd);
        why = heldCause(path);
        return -1;
    }
    // The lock belongs to the open file, which the moved descriptor shares.
    return moveToFreshNumber(fd);
}

void releaseDevice(int fd)
{
    if (fd < 0)
        return;
    flock(fd, LOCK_UN);
    closeDescriptor(fd);
}

bool deviceFreeNow(const std::string &path, OpenFailure &why)
{
    const int fd = openTerminal(path, why);
    if (fd < 0)
        return false;
    const bool free = !exclusiveModeSet(fd) && lockExclusive(fd);
    if (free)
        flock(fd, LOCK_UN);
    closeDescriptor(fd);
    if (!free)
        why = heldCause(path);
    return free;
}

} // namespace pontel
