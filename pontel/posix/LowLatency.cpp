#include "LowLatency.h"

#include <mutex>
#include <set>

#include <sys/ioctl.h>
#if defined(__linux__)
#include <linux/serial.h>
#endif

namespace pontel {

namespace {
std::mutex g_mutex;
std::set<int> g_lowered; // descriptors we put in low-latency mode
} // namespace

void requestLowLatency(int fd)
{
#if defined(TIOCGSERIAL) && defined(ASYNC_LOW_LATENCY)
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0 || (serial.flags & ASYNC_LOW_LATENCY))
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    if (ioctl(fd, TIOCSSERIAL, &serial) != 0)
        return;
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lowered.insert(fd);
#else
    (void)fd;
#endif
}

void restoreLatency(int fd)
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (g_lowered.erase(fd) == 0)
            return;
    }
#if defined(TIOCGSERIAL) && defined(ASYNC_LOW_LATENCY)
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) == 0) {
        serial.flags &= ~ASYNC_LOW_LATENCY;
        ioctl(fd, TIOCSSERIAL, &serial);
    }
#endif
}

} // namespace pontel
