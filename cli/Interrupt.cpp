#include "Interrupt.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace ravlin {

namespace {
// Lock-free, so that a signal handler may set it and another thread (the
// console's handler on Windows) may too.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);
} // namespace

void noteInterrupt()
{
    g_interrupted = true;
}

bool interrupted()
{
    return g_interrupted;
}

void clearInterrupt()
{
    g_interrupted = false;
}

bool sleepUnlessInterrupted(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!interrupted()) {
        const auto left = end - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            return true;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(20)));
    }
    return false;
}

} // namespace ravlin
