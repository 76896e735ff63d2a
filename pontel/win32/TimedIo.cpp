#include "TimedIo.h"

#include <algorithm>

#include "PontelDeclar.h"

namespace pontel {

namespace {

enum class Direction { Read, Write };

// The errors a transfer that merely ended early reports: a time-out (Wine
// completes a timed-out read with STATUS_TIMEOUT) or a purge. Any other
// means the device failed: unplugged, removed, gone.
bool endedEarly(DWORD error)
{
    switch (error) {
    case ERROR_SEM_TIMEOUT:
    case ERROR_TIMEOUT:
    case WAIT_TIMEOUT:
    case ERROR_COUNTER_TIMEOUT:
    case ERROR_OPERATION_ABORTED:
        return true;
    default:
        return false;
    }
}

// One overlapped transfer, waited for at once: the handle is opened for
// overlapped I/O so that a read blocked on one thread does not hold up a
// write on another (synchronous I/O on one handle runs one call at a time).
// Each call has its own event. Returns the bytes transferred, also when the
// transfer ended early (time-out, purge, device error); failed (when given)
// tells a device error from the others.
DWORD transfer(HANDLE device, Direction direction, void *buffer, DWORD count, bool *failed = nullptr)
{
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!overlapped.hEvent)
        return 0;
    const BOOL done = direction == Direction::Read
                          ? ReadFile(device, buffer, count, nullptr, &overlapped)
                          : WriteFile(device, buffer, count, nullptr, &overlapped);
    DWORD moved = 0;
    bool ok = true;
    if (done || GetLastError() == ERROR_IO_PENDING) {
        if (!GetOverlappedResult(device, &overlapped, &moved, TRUE)) {
            moved = DWORD(overlapped.InternalHigh);
            ok = endedEarly(GetLastError());
        }
    } else {
        ok = endedEarly(GetLastError());
    }
    if (failed)
        *failed = !ok;
    CloseHandle(overlapped.hEvent);
    return moved > count ? count : moved;
}

} // namespace

COMMTIMEOUTS commTimeouts(const ReadLimits &read, const WriteLimits &write)
{
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = DWORD(read.interval);
    timeouts.ReadTotalTimeoutMultiplier = DWORD(read.perByte);
    timeouts.ReadTotalTimeoutConstant = DWORD(read.constant);
    timeouts.WriteTotalTimeoutMultiplier = DWORD(write.perByte);
    timeouts.WriteTotalTimeoutConstant = DWORD(write.constant);
    return timeouts;
}

bool applyTimeouts(HANDLE device, const ReadLimits &read, const WriteLimits &write)
{
    COMMTIMEOUTS timeouts = commTimeouts(read, write);
    return SetCommTimeouts(device, &timeouts) != 0;
}

int32_t readWithin(HANDLE device, uint8_t *buffer, int32_t count, int32_t *end)
{
    bool failed = false;
    const int32_t got = count <= 0 ? 0 : int32_t(transfer(device, Direction::Read, buffer, DWORD(count), &failed));
    if (end)
        *end = failed ? PONTEL_READ_FAILED : got == std::max<int32_t>(count, 0) ? PONTEL_READ_COMPLETE
                                                                               : PONTEL_READ_TIMED_OUT;
    return got;
}

bool writeWithin(HANDLE device, const uint8_t *bytes, int32_t count)
{
    if (count <= 0)
        return true;
    return transfer(device, Direction::Write, const_cast<uint8_t *>(bytes), DWORD(count)) == DWORD(count);
}

} // namespace pontel
