// Ctrl-C for the commands that run until stopped (watch, scan, monitor):
// the signal only sets a flag, which their loops read between exchanges, so
// that they end cleanly with the port closed.
#pragma once

namespace ravlin {

void catchInterrupt();
bool interrupted();
void clearInterrupt();
// Sleeps up to ms milliseconds, less when interrupted; false when it was.
bool sleepUnlessInterrupted(int ms);

} // namespace ravlin
