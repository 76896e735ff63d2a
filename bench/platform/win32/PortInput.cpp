#include "PortInput.h"

#include <chrono>

#include "Win32.h"

namespace {

constexpr std::chrono::milliseconds kQuiet(50);
constexpr std::chrono::milliseconds kLongest(1000);
// How often the driver's input queue is looked at while waiting for quiet.
constexpr DWORD kCheckMs = 5;

// Drops the input for windowMs, then until the line has been quiet for a
// moment: the driver says how many bytes wait in its queue; while any come
// in, they are purged and the quiet time starts again.
void purgeUntilQuiet(HANDLE device, int windowMs)
{
    using Clock = std::chrono::steady_clock;
    const auto windowEnd = Clock::now() + std::chrono::milliseconds(windowMs);
    const auto deadline = windowEnd + kLongest;
    auto quietSince = Clock::now();
    while (Clock::now() < deadline) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(device, &errors, &status))
            return; // the device is gone
        if (status.cbInQue > 0) {
            PurgeComm(device, PURGE_RXCLEAR);
            quietSince = Clock::now();
        } else if (Clock::now() - quietSince >= kQuiet && Clock::now() >= windowEnd) {
            return;
        }
        Sleep(kCheckMs);
    }
}

} // namespace

void dropUnreadInput(PortHandle handle)
{
    const HANDLE device = portDevice(handle);
    if (isCommDevice(device))
        PurgeComm(device, PURGE_RXCLEAR);
}

void settleLine(PortHandle handle, int windowMs)
{
    const HANDLE device = portDevice(handle);
    if (!isCommDevice(device))
        return;
    PurgeComm(device, PURGE_TXABORT | PURGE_TXCLEAR);
    purgeUntilQuiet(device, windowMs);
    // Bytes that came after the last look.
    PurgeComm(device, PURGE_RXCLEAR);
}
