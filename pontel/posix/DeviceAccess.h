// Opening a serial device for one user at a time, and letting it go.
#pragma once

#include <string>

#include "OpenFailures.h"

namespace pontel {

// Opens the terminal device at path read-write and non-blocking, without
// making it our controlling terminal, then takes it exclusively with an
// advisory lock (flock, which holds against root and against ourselves, and
// which the kernel drops with the last descriptor, so also when the holder
// dies). The terminal's exclusive mode (TIOCEXCL) is not used: it outlives a
// holder that dies without closing whenever the terminal stays alive (a
// pseudo-terminal whose server lives on, a line another process has open),
// and would then refuse every later open until reboot.
//
// The descriptor returned is the port's handle. It is never 0, 1 or 2, and
// it is a number not handed out recently: each open takes the lowest free
// number above the last one returned, going round the numbers below 1024 (or
// below the descriptor limit when that is lower). So a stale handle kept by a
// caller names no port until the numbers have gone round once.
//
// Returns -1 when the path is not a terminal, cannot be opened, someone else
// holds the lock, or another program put the terminal in exclusive mode; why
// then says which.
int openExclusive(const std::string &path, OpenFailure &why);

// Drops the lock and closes.
void releaseDevice(int fd);

// Whether the device at path could be opened exclusively right now: it
// exists, is a terminal we may open, and nobody (ourselves included) holds it
// locked or in exclusive mode. Opens and closes it to find out; why says
// what stands in the way.
bool deviceFreeNow(const std::string &path, OpenFailure &why);

} // namespace pontel
