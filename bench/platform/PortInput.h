// Clearing what an open serial port has received and nobody has read.
// handle is the handle of a port the serial layer has open; anything but a
// serial device (a terminal on POSIX, a communications device on Windows)
// is left alone.
#pragma once

#include "CCTalkComDeclar.h"

// Drops at once what has arrived and not been read; waits for nothing.
void dropUnreadInput(PortHandle handle);

// Ends all traffic on the line: drops output not sent yet, drops the input
// for windowMs and then until no byte has arrived for 50 ms (for at most one
// second more), then drops what is left.
void settleLine(PortHandle handle, int windowMs = 0);
