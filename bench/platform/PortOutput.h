// Waiting for what was written to an open serial port to be on the wire.
#pragma once

#include <chrono>

#include "CCTalkComDeclar.h"

// Returns once the count bytes written to the port from writeStart on have
// left the device, and no sooner than the line, at its baud rate and
// character size, can have carried them. handle is the handle of a port the
// serial layer has open; anything but a serial device is left alone.
void waitUntilSent(PortHandle handle, int count, std::chrono::steady_clock::time_point writeStart);
