// Serves a bus on a pseudo-terminal in real time: the host's bytes are read
// from the master side as they come, the bus's bytes are written when their
// time has come. One poll-based loop, no busy waiting.
#pragma once

#include <csignal>
#include <functional>
#include <iosfwd>

#include "Bus.h"
#include "BusTrace.h"
#include "ControlCommands.h"

namespace ccsim {

class PtyServer
{
public:
    struct Settings
    {
        double coinEverySeconds = 0;
        bool control = true; // read control commands on standard input
        std::function<void(const uint8_t *, size_t)> copyHeard; // --tap
    };

    PtyServer(Bus &bus, int masterFd, Settings settings, BusTrace *trace, std::ostream &out);

    // Runs until stop is set (by a signal handler), a quit command, or the end
    // of standard input after control commands came in.
    void run(const volatile std::sig_atomic_t &stop, const sigset_t &waitMask);

private:
    SimTime now() const;
    void writeDue(SimTime now);
    void readHost(SimTime now);
    bool readControl(); // false: end the program
    void periodicCoin(SimTime now);

    Bus &m_bus;
    int m_master;
    Settings m_settings;
    BusTrace *m_trace;
    std::ostream &m_out;
    ControlCommands m_control;
    std::chrono::steady_clock::time_point m_epoch;
    SimTime m_nextCoin = kForever;
    int m_coinChannel = 0;
    std::string m_controlLine;
    bool m_controlSeen = false;
    bool m_controlOpen = true;
    bool m_quit = false;
};

} // namespace ccsim
