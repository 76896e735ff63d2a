// Time on the simulated bus. The bus itself never reads a clock: callers hand
// it the current time, virtual in the in-process tests, taken from a steady
// clock in the ccsim program.
#pragma once

#include <chrono>

namespace ccsim {

using SimTime = std::chrono::nanoseconds;

using namespace std::chrono_literals;

// One byte on a 9600 baud line: a start bit, 8 data bits and a stop bit.
constexpr SimTime kByteTime9600 = SimTime(10 * 1000000000LL / 9600);

// A device throws away a partly received message after this gap between two
// of its bytes.
constexpr SimTime kInterByteTimeout = 50ms;

constexpr SimTime kForever = SimTime::max();

inline double toMilliseconds(SimTime t)
{
    return std::chrono::duration<double, std::milli>(t).count();
}

} // namespace ccsim
