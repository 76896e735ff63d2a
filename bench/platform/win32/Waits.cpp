#include "Waits.h"

#include "Win32.h"

// After windows.h, which the lean set keeps the multimedia timer out of.
#include <mmsystem.h>

namespace {

// Sleep, with the system timer at its finest for the time of the wait:
// Windows otherwise rounds a wait up to its clock tick (15.6 ms), which would
// stretch every short wait of the fast test many times over.
void fineSleep(DWORD milliseconds)
{
    timeBeginPeriod(1);
    Sleep(milliseconds);
    timeEndPeriod(1);
}

} // namespace

void sleepMilliseconds(int milliseconds)
{
    if (milliseconds > 0)
        fineSleep(DWORD(milliseconds));
    else
        Sleep(0);
}

void sleepUntil(std::chrono::steady_clock::time_point deadline)
{
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero())
        return;
    // Whole milliseconds, rounded up: never sooner than the deadline.
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    fineSleep(DWORD(milliseconds));
}
