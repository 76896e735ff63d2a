// ccsim: a virtual ccTalk coin validator on a pseudo-terminal. See
// `ccsim --help`.
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sys/prctl.h>

#include "BusTap.h"
#include "BusTrace.h"
#include "Options.h"
#include "OutputQueue.h"
#include "PseudoTerminal.h"
#include "PtyServer.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int)
{
    g_stop = 1;
}

} // namespace

int main(int argc, char **argv)
{
    using namespace ccsim;
    // Standard streams that were closed get /dev/null, so that the
    // terminal's descriptors never take their numbers.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (fcntl(fd, F_GETFD) == -1)
            open("/dev/null", O_RDWR);
    ProgramOptions options;
    std::string tapPath;
    try {
        std::vector<std::string> arguments(argv + 1, argv + argc);
        tapPath = takeTapOption(arguments);
        options = parseOptions(arguments);
    } catch (const OptionError &error) {
        std::cerr << "ccsim: " << error.what() << "\n";
        return 2;
    }
    if (options.help) {
        std::cout << usageText();
        return 0;
    }

    // The signals that end the program are blocked except while waiting,
    // so that none is lost between a check and the wait.
    sigset_t endSignals, waitMask;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGINT);
    sigaddset(&endSignals, SIGTERM);
    sigaddset(&endSignals, SIGHUP);
    sigprocmask(SIG_BLOCK, &endSignals, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGHUP);
    struct sigaction action{};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // Started in the background of an interactive shell, a read of the
    // terminal fails instead of stopping the simulator.
    std::signal(SIGTTIN, SIG_IGN);
    // Bytes go out on the byte times of a 9600 baud line: wake up on time,
    // not up to the default 50 us late at every byte.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

    // Written by threads of their own (started with the end signals blocked,
    // so that those reach the serving loop): the bus never waits on a
    // reader of standard output or error.
    OutputQueue outQueue(STDOUT_FILENO);
    OutputQueue errQueue(STDERR_FILENO);
    std::ostream out(&outQueue);
    std::ostream err(&errQueue);

    try {
        PseudoTerminal terminal;
        std::unique_ptr<TerminalLink> link;
        if (!options.linkPath.empty())
            link = std::make_unique<TerminalLink>(options.linkPath, terminal.slavePath());

        Bus bus(options.bus);
        for (const DeviceConfig &device : options.devices)
            bus.addDevice(device);
        std::unique_ptr<BusTrace> trace;
        if (options.trace) {
            trace = std::make_unique<BusTrace>(err);
            bus.setObserver([&trace](const BusActivity &activity) { trace->onActivity(activity); });
        }

        out << terminal.slavePath() << std::endl;
        if (options.trace) {
            err << "ccsim: serving " << bus.deviceCount() << " device(s) on " << terminal.slavePath()
                      << (options.linkPath.empty() ? "" : " (" + options.linkPath + ")") << ", pacing "
                      << (bus.pacing() ? "on" : "off") << std::endl;
        }
        std::unique_ptr<BusTap> tap = tapPath.empty() ? nullptr : std::make_unique<BusTap>(tapPath);
        PtyServer::Settings settings{options.coinEverySeconds, true, terminal.closeWatchFd(),
                                     [&terminal] { return terminal.hostClosed(); }, {}};
        if (tap)
            settings.copyHeard = [&tap](const uint8_t *bytes, size_t n) { tap->copy(bytes, n); };
        PtyServer server(bus, terminal.masterFd(), settings, trace.get(), out);
        server.run(g_stop, waitMask);
    } catch (const std::exception &error) {
        err << "ccsim: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
