// The settings of a port as ComInit gets them: the line, and the read and
// write time-outs in milliseconds (0 = no limit). The same on every system.
#pragma once

#include <cstdint>

namespace pontel {

struct LineSettings
{
    int32_t baud = 9600;
    int32_t dataBits = 8;  // 5 to 8
    int32_t parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int32_t stopBits = 1;  // 1 or 2
};

struct ReadLimits
{
    int32_t interval = 0;  // longest gap between two bytes
    int32_t perByte = 0;   // total: perByte * count + constant
    int32_t constant = 0;
};

struct WriteLimits
{
    int32_t perByte = 0;   // total: perByte * count + constant
    int32_t constant = 0;
};

} // namespace pontel
