// Serial-number exchanges per second through Pontel over the pseudo-terminal
// of a running ccsim: with the line pacing off (the overhead of the whole
// chain), and with it on as a share of what a 9600 baud line allows.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "CcsimProcess.h"
#include "PontelDeclar.h"

namespace {

constexpr double kByteSeconds = 10.0 / 9600.0;
constexpr int kReplyDelayMs = 2;

void serialNumberExchanges(benchmark::State &state, bool pacing)
{
    std::vector<std::string> arguments{"--reply-delay", std::to_string(pacing ? kReplyDelayMs : 0)};
    if (!pacing)
        arguments.push_back("--no-pacing");
    CcsimProcess sim(arguments);
    if (!sim.started()) {
        state.SkipWithError("ccsim did not start");
        return;
    }
    setenv("PONTEL_COM1", sim.path().c_str(), 1);
    PortHandle port = ComInit(1, 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
    if (port <= 0) {
        state.SkipWithError("the port did not open");
        return;
    }
    const uint8_t request[5] = {2, 0, 1, 242, 11};
    uint8_t echo[5], reply[8];
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!SendToCom(&port, request, 5) || !RcvFromCom(&port, echo, 5) || !RcvFromCom(&port, reply, 8)
            || reply[2] != 2) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    CloseCom(&port);
    state.counters["exchanges_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                           benchmark::Counter::kIsRate);
    if (pacing) {
        // The line's own limit: 5 request and 8 reply bytes, plus the
        // device's reply delay. Rate x time of one exchange = share used.
        const double limitSeconds = 13 * kByteSeconds + kReplyDelayMs / 1000.0;
        state.counters["percent_of_line_limit"] =
            100.0 * static_cast<double>(state.iterations()) * limitSeconds / elapsed.count();
    }
}

void PacingOff(benchmark::State &state)
{
    serialNumberExchanges(state, false);
}

void PacingOn(benchmark::State &state)
{
    serialNumberExchanges(state, true);
}

} // namespace

BENCHMARK(PacingOff)->UseRealTime()->MinTime(2.0);
BENCHMARK(PacingOn)->UseRealTime()->MinTime(3.0);

BENCHMARK_MAIN();
