// The ravlin program against a paced ccsim: the whole run of
// `ravlin serial-number` from process start to exit and its overhead over
// the line time, a run of `ravlin --version` (no port), and the event buffer
// polls per second of `ravlin watch --interval 0`, next to what the 9600
// baud line allows.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "CcsimProcess.h"

namespace {

constexpr double kByteSeconds = 10.0 / 9600.0;
constexpr double kReplyDelay = 0.002;

// Runs ravlin with the words; its standard output, and whether it exited 0.
bool runRavlin(const std::vector<std::string> &words, std::string &out)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], 1);
        close(pipeFds[0]);
        std::vector<std::string> copy = words;
        std::vector<char *> argv;
        std::string program = RAVLIN_PATH;
        argv.push_back(program.data());
        for (auto &w : copy)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    char chunk[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], chunk, sizeof chunk)) > 0)
        out.append(chunk, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void SerialNumberProcess(benchmark::State &state)
{
    CcsimProcess sim({});
    if (!sim.started()) {
        state.SkipWithError("ccsim did not start");
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::string out;
        if (!runRavlin({"serial-number", "--port", sim.path(), "--address", "2"}, out) || out != "1234567\n") {
            state.SkipWithError("ravlin serial-number failed");
            return;
        }
    }
    const double runMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count()
                         / static_cast<double>(state.iterations());
    // 5 request bytes (echoed) and 8 reply bytes, plus the reply delay.
    const double lineMs = (13 * kByteSeconds + kReplyDelay) * 1000;
    state.counters["line_ms"] = lineMs;
    state.counters["overhead_over_line_ms"] = runMs - lineMs;
}
BENCHMARK(SerialNumberProcess)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

// What a run costs without the port: process start, the loading of the
// libraries and the C++ runtime, and the exit.
void VersionProcess(benchmark::State &state)
{
    for (auto _ : state) {
        std::string out;
        if (!runRavlin({"--version"}, out)) {
            state.SkipWithError("ravlin --version failed");
            return;
        }
    }
}
BENCHMARK(VersionProcess)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

void WatchPolls(benchmark::State &state)
{
    CcsimProcess sim({});
    if (!sim.started()) {
        state.SkipWithError("ccsim did not start");
        return;
    }
    double rate = 0;
    for (auto _ : state) {
        std::string out;
        if (!runRavlin({"watch", "--port", sim.path(), "--address", "2", "--interval", "0", "--for", "3", "--json"}, out)) {
            state.SkipWithError("ravlin watch failed");
            return;
        }
        const size_t at = out.find("\"event\":\"stop\"");
        const size_t pollsAt = out.find("\"polls\":", at), secondsAt = out.find("\"seconds\":", at);
        if (at == std::string::npos || pollsAt == std::string::npos || secondsAt == std::string::npos) {
            state.SkipWithError("no summary from ravlin watch");
            return;
        }
        const double polls = std::strtod(out.c_str() + pollsAt + 8, nullptr);
        const double seconds = std::strtod(out.c_str() + secondsAt + 10, nullptr);
        if (seconds <= 0) {
            state.SkipWithError("no summary from ravlin watch");
            return;
        }
        rate = polls / seconds;
    }
    // 5 request bytes and 16 reply bytes (counter and five pairs).
    const double limit = 1.0 / (21 * kByteSeconds + kReplyDelay);
    state.counters["exchanges_per_s"] = rate;
    state.counters["line_limit_per_s"] = limit;
    state.counters["percent_of_line_limit"] = 100.0 * rate / limit;
}
BENCHMARK(WatchPolls)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
