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
        // Readable when a host closed the terminal; then hostClosed runs
        // (true: it cleared an exclusive mode that a dead host left).
        int closeWatchFd = -1;
        std::function<bool()> hostClosed;
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
    void checkHostClosed();

    Bus &m_bus;
    int m_master;
    Settings m_settings;
    BusTrace *m_trace;
    std::ostream &m_out;
    ControlCommands m_control;
    std::chrono::steady_clock::time_point m_epoch;
    SimTime m_nextCoin = kForever;
    SimTime m_closeRecheck = kForever;
    int m_coinChannel = 0;
    // No command is this long; a longer line is read to its end and ignored.
    static constexpr size_t kMaxControlLine = 4096;
    std::string m_controlLine;
    bool m_skippingLine = false;
    bool m_controlSeen = false;
    bool m_controlOpen = true;
    bool m_quit = false;
};

} // namespace ccsim
