// The library's own cost per exchange: framing, checksums, the echo and the
// reply checks, over an in-memory port that echoes every write and answers
// each request with a canned reply. No serial device and no waiting.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "CCTalkComDeclar.h"
#include "PortBackend.h"

namespace {

// Echoes writes into a flat buffer and, when a read finds it empty, serves
// the canned reply: exactly one request-echo-reply cycle per exchange.
class CannedPort : public PortBackend
{
public:
    static constexpr PortHandle Handle = 100;

    explicit CannedPort(std::vector<uint8_t> reply) : m_reply(std::move(reply)) {}

    bool portFree(uint8_t) override { return true; }
    PortHandle open(uint8_t, const int32_t[9]) override { return Handle; }
    bool close(PortHandle) override { return true; }
    bool isOpen(PortHandle handle) override { return handle == Handle; }

    bool send(PortHandle handle, const uint8_t *bytes, int32_t count) override
    {
        if (handle != Handle || m_end + count > sizeof m_input)
            return false;
        std::memcpy(m_input + m_end, bytes, count);
        m_end += count;
        return true;
    }

    bool receive(PortHandle handle, uint8_t *buffer, int32_t count) override
    {
        if (handle != Handle)
            return false;
        if (m_begin == m_end) {
            std::memcpy(m_input, m_reply.data(), m_reply.size());
            m_begin = 0;
            m_end = m_reply.size();
        }
        if (m_end - m_begin < static_cast<size_t>(count))
            return false;
        std::memcpy(buffer, m_input + m_begin, count);
        m_begin += count;
        if (m_begin == m_end)
            m_begin = m_end = 0;
        return true;
    }

    int32_t receiveUpTo(PortHandle, uint8_t *, int32_t) override { return -1; }

private:
    std::vector<uint8_t> m_reply;
    uint8_t m_input[1024] = {};
    size_t m_begin = 0;
    size_t m_end = 0;
};

std::vector<uint8_t> replyFrom(uint8_t source, std::vector<uint8_t> data)
{
    std::vector<uint8_t> m;
    for (uint8_t b : {uint8_t(1), static_cast<uint8_t>(data.size()), source, uint8_t(0)})
        m.push_back(b);
    for (uint8_t b : data)
        m.push_back(b);
    unsigned sum = 0;
    for (uint8_t b : m)
        sum += b;
    m.push_back(static_cast<uint8_t>(256 - sum % 256));
    return m;
}

void BM_SimplePoll(benchmark::State &state)
{
    CannedPort port(replyFrom(2, {}));
    ScopedPortBackend scope(port);
    PortHandle handle = CannedPort::Handle;
    for (auto _ : state) {
        uint8_t address = 2;
        if (!CCGet_Simple_Poll(&handle, &address))
            state.SkipWithError("poll failed");
        benchmark::DoNotOptimize(address);
    }
}
BENCHMARK(BM_SimplePoll);

void BM_SerialNumber(benchmark::State &state)
{
    CannedPort port(replyFrom(2, {0x12, 0x34, 0x56}));
    ScopedPortBackend scope(port);
    PortHandle handle = CannedPort::Handle;
    for (auto _ : state) {
        const int32_t serial = CCGet_Serial_Number(&handle, 2);
        if (serial != 0x563412)
            state.SkipWithError("wrong serial number");
        benchmark::DoNotOptimize(serial);
    }
}
BENCHMARK(BM_SerialNumber);

void BM_SetChannelEnable(benchmark::State &state)
{
    CannedPort port(replyFrom(2, {}));
    ScopedPortBackend scope(port);
    PortHandle handle = CannedPort::Handle;
    for (auto _ : state) {
        if (!CCSet_Channel_Enable(&handle, 2, 0xFFFF))
            state.SkipWithError("no acknowledgement");
    }
}
BENCHMARK(BM_SetChannelEnable);

void BM_EventBuffer(benchmark::State &state)
{
    CannedPort port(replyFrom(2, {4, 1, 0, 2, 0, 3, 1, 0, 0, 0, 0}));
    ScopedPortBackend scope(port);
    PortHandle handle = CannedPort::Handle;
    uint8_t events[254];
    for (auto _ : state) {
        events[0] = 0;
        CCGet_Buffer(&handle, 2, events);
        if (events[0] != 4)
            state.SkipWithError("no events");
        benchmark::DoNotOptimize(events);
    }
}
BENCHMARK(BM_EventBuffer);

void BM_RawCommand(benchmark::State &state)
{
    CannedPort port(replyFrom(2, {}));
    ScopedPortBackend scope(port);
    PortHandle handle = CannedPort::Handle;
    uint8_t block[255] = {2, 0, 1, 254};
    uint8_t reply[260];
    for (auto _ : state) {
        if (!CCSend_Command(&handle, block, reply))
            state.SkipWithError("raw command failed");
        benchmark::DoNotOptimize(reply);
    }
}
BENCHMARK(BM_RawCommand);

} // namespace

BENCHMARK_MAIN();
