// Reads and writes on an open COM port, bounded by the port's time-outs in
// milliseconds (0 = no limit), which are its COMMTIMEOUTS: the driver does
// the timing, each call is one ReadFile or WriteFile and a wait for it.
#pragma once

#include <cstdint>

#include "PortSettings.h"

#include "Win32.h"

namespace pontel {

// The COMMTIMEOUTS of the limits, field for field:
//   ReadIntervalTimeout         = read.interval
//   ReadTotalTimeoutMultiplier  = read.perByte
//   ReadTotalTimeoutConstant    = read.constant
//   WriteTotalTimeoutMultiplier = write.perByte
//   WriteTotalTimeoutConstant   = write.constant
// Windows gives them the meaning the POSIX backend implements: the interval
// runs from the first byte received, the totals are perByte x count +
// constant, 0 means unused, and all read fields 0 waits for every byte. The
// limits are never negative, so MAXDWORD and its special cases never occur.
COMMTIMEOUTS commTimeouts(const ReadLimits &read, const WriteLimits &write);

// Sets them on the port; false when the driver refuses.
bool applyTimeouts(HANDLE device, const ReadLimits &read, const WriteLimits &write);

// Reads up to count bytes into buffer; the driver ends the read when count
// bytes arrived or a time-out expired, or the device failed; end (when
// given) says which, as a PONTEL_READ_* value. Returns the number of bytes
// read; bytes not read stay queued in the driver.
int32_t readWithin(HANDLE device, uint8_t *buffer, int32_t count, int32_t *end = nullptr);

// Writes count bytes; true when all were written before the total time-out.
bool writeWithin(HANDLE device, const uint8_t *bytes, int32_t count);

} // namespace pontel
