// What each system gives the export layer (PontelExports.cpp): naming a
// port, opening it for one user at a time, setting it up, reading and
// writing within its limits. One implementation per system, in
// posix/PortPrimitives.cpp (termios) and win32/PortPrimitives.cpp (the
// Win32 communications functions), over the pieces of that folder. A handle
// is the system's own: a descriptor on POSIX, a HANDLE as a number on
// Windows.
#pragma once

#include <cstdint>
#include <string>

#include "OpenFailures.h"
#include "PortSettings.h"

namespace pontel {

// The device of port n (empty: none), and the name two spellings of one
// device share.
std::string devicePathForPort(uint8_t n);
std::string portIdentity(const std::string &path);

// Whether the system can set the line up so.
bool lineSettingsValid(const LineSettings &settings);

// Opens the device exclusively; -1 with why set when it cannot.
int openExclusive(const std::string &path, OpenFailure &why);
// Whether the device could be opened exclusively now; why says what stands
// in the way.
bool deviceFreeNow(const std::string &path, OpenFailure &why);
// Applies the line settings and time-outs, then empties both queues: bytes
// an earlier user of the line left would be taken for the first reply.
// False with why set when the port refuses.
bool setUpPort(int handle, const std::string &path, const LineSettings &line, const ReadLimits &read,
               const WriteLimits &write, OpenFailure &why);
// Closes what openPortExclusive opened.
void closePort(int handle);

// Reads up to count bytes within the limits; end gets a PONTEL_READ_* value.
int32_t readPort(int handle, uint8_t *buffer, int32_t count, const ReadLimits &limits, int32_t *end);
// Writes all of count bytes within the limits.
bool writePort(int handle, const uint8_t *bytes, int32_t count, const WriteLimits &limits);

} // namespace pontel
