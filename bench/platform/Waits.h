// The platform's waits in milliseconds, which block the calling thread.
#pragma once

#include <chrono>

// Waits at least milliseconds; 0 or less only lets other threads run.
void sleepMilliseconds(int milliseconds);

// Waits until the steady clock reads deadline (at once when it has passed).
void sleepUntil(std::chrono::steady_clock::time_point deadline);
