// Costs of the serial layer over a pseudo-terminal: the round trip of a
// 5-byte frame with an echoing peer, and the CPU time a read spends waiting
// out its time-out.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

#include "PontelDeclar.h"
#include "PseudoTerminal.h"

namespace {

// Sends back every byte the port writes, until stopped.
class EchoPeer
{
public:
    explicit EchoPeer(int fd) : m_fd(fd), m_thread([this] { run(); }) {}
    ~EchoPeer()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    void run()
    {
        uint8_t buffer[256];
        while (!m_stop) {
            pollfd entry{m_fd, POLLIN, 0};
            if (poll(&entry, 1, 50) <= 0 || !(entry.revents & POLLIN))
                continue;
            const ssize_t n = read(m_fd, buffer, sizeof buffer);
            if (n > 0 && write(m_fd, buffer, size_t(n)) != n)
                return;
        }
    }

    int m_fd;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

double threadCpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    auto ms = [](const timeval &t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// A 5-byte write, then the 5-byte read of its echo, at the bench's settings.
void RoundTrip5Bytes(benchmark::State &state)
{
    PseudoTerminal pty;
    ScopedEnvironment mapping("PONTEL_COM1", pty.path());
    PortHandle handle = ComInit(1, 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
    if (handle == -1) {
        state.SkipWithError("no port");
        return;
    }
    EchoPeer peer(pty.peer());
    const uint8_t frame[5] = {2, 0, 1, 254, 255};
    uint8_t echo[5];
    std::vector<double> micros;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!SendToCom(&handle, frame, 5) || !RcvFromCom(&handle, echo, 5)) {
            state.SkipWithError("round trip failed");
            break;
        }
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    CloseCom(&handle);
    if (!micros.empty()) {
        std::sort(micros.begin(), micros.end());
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    }
}
BENCHMARK(RoundTrip5Bytes)->UseRealTime();

// A read that gets nothing and waits out its 1 s total time-out: the CPU time
// of the waiting thread over that second.
void TimeOutWaitCpu(benchmark::State &state)
{
    PseudoTerminal pty;
    ScopedEnvironment mapping("PONTEL_COM1", pty.path());
    PortHandle handle = ComInit(1, 9600, 8, 0, 1, 200, 0, 1000, 0, 0);
    if (handle == -1) {
        state.SkipWithError("no port");
        return;
    }
    uint8_t buffer[5];
    double cpu = 0;
    for (auto _ : state) {
        const double before = threadCpuMilliseconds();
        if (RcvFromCom(&handle, buffer, 5)) {
            state.SkipWithError("a read with no peer succeeded");
            break;
        }
        cpu += threadCpuMilliseconds() - before;
    }
    CloseCom(&handle);
    state.counters["cpu_ms_per_wait"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}
BENCHMARK(TimeOutWaitCpu)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
