// Clearing what an open serial device has received and nobody has read.
#pragma once

// Reads and drops the device's input until no byte has arrived for 50 ms,
// for at most one second. fd is the descriptor of a port the serial layer
// has open (its handle); anything but a terminal is left alone.
void discardUntilQuiet(int fd);
