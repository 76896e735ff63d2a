#include "Waits.h"

#include <thread>

void sleepMilliseconds(int milliseconds)
{
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    else
        std::this_thread::yield();
}

void sleepUntil(std::chrono::steady_clock::time_point deadline)
{
    std::this_thread::sleep_until(deadline);
}
