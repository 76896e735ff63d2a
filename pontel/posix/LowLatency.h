// USB serial adapters whose driver holds received bytes back (its latency
// timer, up to 16 ms) pass them on at once in low-latency mode: an exchange
// then takes its line time instead of up to twice that. The mode is asked
// for where the driver offers it (TIOCGSERIAL / TIOCSSERIAL with
// ASYNC_LOW_LATENCY) and silently left alone where it does not
// (pseudo-terminals, drivers without it); it is given back at close.
#pragma once

namespace pontel {

void requestLowLatency(int fd);
// Clears the mode if requestLowLatency set it on fd.
void restoreLatency(int fd);

} // namespace pontel
