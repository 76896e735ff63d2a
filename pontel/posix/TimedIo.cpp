#include "TimedIo.h"

#include "PontelDeclar.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <optional>

#include <poll.h>
#include <unistd.h>

namespace pontel {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::optional<Clock::time_point> totalDeadline(Clock::time_point start, int32_t perByte,
                                               int32_t constant, int32_t count)
{
    if (perByte == 0 && constant == 0)
        return std::nullopt;
    // Beyond some 30 years a limit is no limit; capping keeps the clock
    // arithmetic from overflowing on extreme arguments.
    constexpr int64_t kLongestMs = 1'000'000'000'000;
    const int64_t total = std::min(int64_t(perByte) * count + constant, kLongestMs);
    return start + milliseconds(total);
}

std::optional<Clock::time_point> earlier(std::optional<Clock::time_point> a,
                                         std::optional<Clock::time_point> b)
{
    if (!a)
        return b;
    if (!b)
        return a;
    return *a < *b ? a : b;
}

enum class WaitResult { Ready, TimedOut, Failed };

// A descriptor reported ready that then transfers nothing this many times in
// a row has a condition that will not clear by itself: the call stops there
// rather than spin.
constexpr int kMaxEmptyWakeups = 8;

// Waits for events on fd until the deadline (none: no limit). Rounds the wait
// up to whole milliseconds so that it never wakes before the deadline and
// loops on a zero time-out.
WaitResult waitFor(int fd, short events, std::optional<Clock::time_point> deadline)
{
    for (;;) {
        int timeoutMs = -1;
        if (deadline) {
            const auto left = *deadline - Clock::now();
            if (left <= Clock::duration::zero())
                return WaitResult::TimedOut;
            const int64_t us = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
            const int64_t ms = (us + 999) / 1000;
            timeoutMs = ms > INT_MAX ? INT_MAX : int(ms);
        }
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, timeoutMs);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return WaitResult::Failed;
        }
        if (ready == 0)
            continue; // the deadline check above decides
        if (entry.revents & events)
            return WaitResult::Ready;
        return WaitResult::Failed; // POLLHUP, POLLERR or POLLNVAL alone
    }
}

} // namespace

int32_t readWithin(int fd, uint8_t *buffer, int32_t count, const ReadLimits &limits, int32_t *end)
{
    int32_t ended = PONTEL_READ_COMPLETE;
    const Clock::time_point start = Clock::now();
    const auto total = totalDeadline(start, limits.perByte, limits.constant, count);
    std::optional<Clock::time_point> gapDeadline;
    int32_t got = 0;
    int emptyWakeups = 0;
    while (got < count) {
        const ssize_t n = read(fd, buffer + got, size_t(count - got));
        if (n > 0) {
            got += int32_t(n);
            emptyWakeups = 0;
            if (limits.interval > 0)
                gapDeadline = Clock::now() + milliseconds(limits.interval);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // A terminal in raw mode with VMIN = VTIME = 0 answers 0 when nothing
        // is waiting; a hang-up shows as an error (EIO) or through poll().
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            ended = PONTEL_READ_FAILED;
            break;
        }
        if (emptyWakeups++ == kMaxEmptyWakeups) {
            ended = PONTEL_READ_FAILED;
            break;
        }
        const WaitResult waited = waitFor(fd, POLLIN, earlier(total, gapDeadline));
        if (waited != WaitResult::Ready) {
            ended = waited == WaitResult::TimedOut ? PONTEL_READ_TIMED_OUT : PONTEL_READ_FAILED;
            break;
        }
    }
    if (end)
        *end = ended;
    return got;
}

bool writeWithin(int fd, const uint8_t *bytes, int32_t count, const WriteLimits &limits)
{
    const auto total = totalDeadline(Clock::now(), limits.perByte, limits.constant, count);
    int32_t sent = 0;
    int emptyWakeups = 0;
    while (sent < count) {
        const ssize_t n = write(fd, bytes + sent, size_t(count - sent));
        if (n > 0) {
            sent += int32_t(n);
            emptyWakeups = 0;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        if (emptyWakeups++ == kMaxEmptyWakeups)
            return false;
        if (waitFor(fd, POLLOUT, total) != WaitResult::Ready)
            return false;
    }
    return true;
}

} // namespace pontel
