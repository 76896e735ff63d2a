// Reads and writes on a non-blocking descriptor, bounded by time-outs in
// milliseconds (0 = no limit). Every wait is a poll(); nothing spins.
#pragma once

#include <cstdint>

#include "PortSettings.h"

namespace pontel {

// Reads up to count bytes into buffer. Stops when count bytes arrived, when a
// time-out expired, or when the device reports an error or a hang-up; end
// (when given) says which, as a PONTEL_READ_* value. Returns the number of
// bytes read; bytes not read stay queued on the device.
int32_t readWithin(int fd, uint8_t *buffer, int32_t count, const ReadLimits &limits, int32_t *end = nullptr);

// Writes count bytes; true when all were written before the total time-out.
bool writeWithin(int fd, const uint8_t *bytes, int32_t count, const WriteLimits &limits);

} // namespace pontel
