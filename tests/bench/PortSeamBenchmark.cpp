// The window's raw port access on a real pseudo-terminal through the real
// Pontel: what the drop of unread input costs every command on a quiet
// line (it must not wait), and how long a synchronous write of a fast-test
// frame takes (the line time of its 5 bytes at 9600 baud, about 5.2 ms).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <thread>

#include "PontelDeclar.h"
#include "SystemPlatform.h"

namespace {

// A pseudo-terminal mapped to Com1 and opened as the window opens it; the
// master side reads and drops whatever the port writes.
class OpenPty
{
public:
    OpenPty()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        setenv("PONTEL_COM1", ptsname(m_master), 1);
        handle = ComInit(1, 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
        m_reader = std::thread([this] {
            char sink[256];
            while (read(m_master, sink, sizeof sink) > 0) {
            }
        });
    }
    ~OpenPty()
    {
        CloseCom(&handle);
        if (m_master >= 0)
            close(m_master);
        if (m_reader.joinable())
            m_reader.join();
        unsetenv("PONTEL_COM1");
    }
    PortHandle handle = -1;

private:
    int m_master = -1;
    std::thread m_reader;
};

void DropUnreadInputOnAQuietLine(benchmark::State &state)
{
    OpenPty pty;
    if (pty.handle == -1) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    SystemPlatform platform;
    for (auto _ : state)
        platform.dropUnreadInput(pty.handle);
}
BENCHMARK(DropUnreadInputOnAQuietLine)->Unit(benchmark::kMicrosecond);

void FastTestFrameWrite(benchmark::State &state)
{
    OpenPty pty;
    if (pty.handle == -1) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    SystemPlatform platform;
    const uint8_t frame[5] = {2, 0, 1, 242, 11};
    for (auto _ : state)
        platform.writePort(pty.handle, frame, sizeof frame);
    // 5 characters of 10 bits at 9600 baud.
    state.counters["line_ms"] = 5 * 10 * 1000.0 / 9600;
}
BENCHMARK(FastTestFrameWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
