// Opening a serial device for one user at a time, and letting it go.
#pragma once

#include <string>

namespace pontel {

// Opens the terminal device at path read-write and non-blocking, without
// making it our controlling terminal, then takes it exclusively: an advisory
// lock (flock, which also holds against root and against ourselves) and the
// terminal's exclusive mode (TIOCEXCL: further opens by non-root users fail).
// The descriptor returned is never 0, 1 or 2. Returns -1 when the path is not
// a terminal, cannot be opened, or someone else holds it.
int openExclusive(const std::string &path);

// Leaves exclusive mode (so that a pseudo-terminal whose server keeps it
// alive can be opened again by anyone), drops the lock and closes.
void releaseDevice(int fd);

// Whether the device at path could be opened exclusively right now: it
// exists, is a terminal we may open, and nobody (ourselves included) holds it
// locked or in exclusive mode. Opens and closes it to find out.
bool deviceFreeNow(const std::string &path);

} // namespace pontel
