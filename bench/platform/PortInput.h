// Clearing what an open serial device has received and nobody has read.
// fd is the descriptor of a port the serial layer has open (its handle);
// anything but a terminal is left alone.
#pragma once

// Drops at once what has arrived and not been read; waits for nothing.
void dropUnreadInput(int fd);

// Ends all traffic on the line: drops output not sent yet, reads and drops
// the input until no byte has arrived for 50 ms (for at most one second),
// then drops what is left.
void settleLine(int fd);
