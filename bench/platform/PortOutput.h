// Waiting for what was written to an open serial device to be on the wire.
#pragma once

#include <chrono>

// Returns once the count bytes written to fd from writeStart on have left
// the device, and no sooner than the line, at its baud rate and character
// size, can have carried them. fd is the descriptor of a port the serial
// layer has open (its handle); anything but a terminal is left alone.
void waitUntilSent(int fd, int count, std::chrono::steady_clock::time_point writeStart);
