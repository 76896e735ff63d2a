// Reads and writes on a non-blocking descriptor, bounded by time-outs in
// milliseconds (0 = no limit). Every wait is a poll(); nothing spins.
#pragma once

#include <cstdint>

namespace pontel {

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

// Reads up to count bytes into buffer. Stops when count bytes arrived, when a
// time-out expired, or when the device reports an error or a hang-up; end
// (when given) says which, as a PONTEL_READ_* value. Returns the number of
// bytes read; bytes not read stay queued on the device.
int32_t readWithin(int fd, uint8_t *buffer, int32_t count, const ReadLimits &limits, int32_t *end = nullptr);

// Writes count bytes; true when all were written before the total time-out.
bool writeWithin(int fd, const uint8_t *bytes, int32_t count, const WriteLimits &limits);

} // namespace pontel
