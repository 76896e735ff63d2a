// Ctrl-C for the commands that run until stopped (watch, scan, monitor):
// the handler only sets a flag, which their loops read between exchanges,
// so that they end cleanly with the port closed. catchInterrupt is the
// operating system's part (platform/<os>/CatchInterrupt.cpp): SIGINT and
// SIGTERM on Linux, the console's Ctrl-C, Ctrl-Break and close on Windows.
#pragma once

namespace ravlin {

void catchInterrupt();
// Called by the handler that catchInterrupt installs.
void noteInterrupt();
bool interrupted();
void clearInterrupt();
// Sleeps up to ms milliseconds, less when interrupted; false when it was.
bool sleepUnlessInterrupted(int ms);

} // namespace ravlin
