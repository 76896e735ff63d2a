// Opening a COM port for one user at a time, and letting it go.
//
// A port handle is the Windows handle of the open device as a 32-bit number
// (HandleToLong): kernel handles fit in 32 bits on 64-bit Windows, and the
// value is never 0 or -1.
#pragma once

#include <string>

#include "OpenFailures.h"
#include "Win32.h"

namespace pontel {

// The device handle behind a port handle that the handle table holds.
inline HANDLE deviceHandle(int handle)
{
    return LongToHandle(handle);
}

// Opens the device at path ("\\.\COMn") read-write for overlapped I/O with
// no sharing (Windows then refuses every other open until we close it, ours
// included), not inherited by child processes. Returns the port handle, or
// -1 when the device cannot be opened, is held by someone else, or is not a
// serial port (GetCommState refuses it); why then says which.
int openExclusive(const std::string &path, OpenFailure &why);

// The cause for a port that refused its line settings.
OpenFailure settingsCause(const std::string &path);

// Closes the device.
void releaseDevice(int handle);

// Whether the device at path could be opened exclusively right now: it
// exists, is a serial port, and nobody holds it. Opens and closes it to find
// out; why says what stands in the way.
bool deviceFreeNow(const std::string &path, OpenFailure &why);

// Opens path as openExclusive does, without the serial-port check: the
// sharing rule alone (for tests, on any file).
HANDLE openUnshared(const std::string &path);

} // namespace pontel
