// ccsim: a virtual ccTalk coin validator on a pseudo-terminal. See
// `ccsim --help`.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>

#include "BusTrace.h"
#include "Options.h"
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
    ProgramOptions options;
    try {
        options = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
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
            trace = std::make_unique<BusTrace>(std::cerr);
            bus.setObserver([&trace](const BusActivity &activity) { trace->onActivity(activity); });
        }

        std::cout << terminal.slavePath() << std::endl;
        if (options.trace) {
            std::cerr << "ccsim: serving " << bus.deviceCount() << " device(s) on " << terminal.slavePath()
                      << (options.linkPath.empty() ? "" : " (" + options.linkPath + ")") << ", pacing "
                      << (bus.pacing() ? "on" : "off") << std::endl;
        }
        PtyServer server(bus, terminal.masterFd(), {options.coinEverySeconds, true}, trace.get(), std::cout);
        server.run(g_stop, waitMask);
    } catch (const std::exception &error) {
        std::cerr << "ccsim: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
