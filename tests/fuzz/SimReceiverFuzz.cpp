// The virtual validator's frame receiver and its control-line parser.
//
// Input: byte 0 is the number of chunk boundaries (low 4 bits), then two
// bytes a boundary (the chunk's length, its gap code), then the stream. A
// gap code with bit 7 set is a pause longer than the inter-byte time-out,
// otherwise a pause of at most the time-out (code % 51 ms).
//
// The receiver must yield, whatever the split, the messages that an oracle
// cuts from each burst (bytes with no gap above the time-out): each message
// ends where its length byte says, and a burst's unfinished tail is dropped
// and counted. Without long pauses that is the same as the whole stream
// pushed at once. The same input, as lines, then goes to the control-line
// parser, which must answer every line without throwing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "Bus.h"
#include "ControlCommands.h"
#include "FrameReceiver.h"

using namespace ccsim;

const char *const kFuzzTarget = "sim receiver";

namespace {

struct Chunk
{
    std::vector<uint8_t> bytes;
    SimTime pause{}; // before this chunk
};

struct Outcome
{
    std::vector<Bytes> frames;
    CommsCounters counters;
    bool receiving = false;
};

Outcome receive(const std::vector<Chunk> &chunks)
{
    FrameReceiver receiver;
    Outcome out;
    SimTime t{}, lastByte{};
    for (const Chunk &chunk : chunks) {
        t += chunk.pause;
        for (const uint8_t byte : chunk.bytes) {
            if (auto frame = receiver.push(byte, t))
                out.frames.push_back(*frame);
            lastByte = t;
        }
    }
    out.counters = receiver.counters();
    out.receiving = receiver.receiving();
    if (out.receiving) {
        check(receiver.deadline() == lastByte + kInterByteTimeout + SimTime(1),
              "the deadline is not one time-out after the last byte");
        receiver.expire(lastByte + kInterByteTimeout);
        check(receiver.receiving(), "a partial message dropped before its time-out");
        receiver.expire(receiver.deadline());
        check(!receiver.receiving(), "a partial message kept past its deadline");
    } else {
        check(receiver.deadline() == kForever, "a deadline without a partial message");
    }
    return out;
}

void saturatingAdd(uint8_t &counter, size_t amount)
{
    counter = static_cast<uint8_t>(counter + amount > 255 ? 255 : counter + amount);
}

// The bursts: a new one starts with a byte more than the time-out after
// the byte before it (pauses add up over chunks without bytes).
std::vector<std::vector<uint8_t>> burstsOf(const std::vector<Chunk> &chunks)
{
    std::vector<std::vector<uint8_t>> bursts;
    SimTime t{}, lastByte{};
    for (const Chunk &chunk : chunks) {
        t += chunk.pause;
        for (const uint8_t byte : chunk.bytes) {
            if (bursts.empty() || t - lastByte > kInterByteTimeout)
                bursts.emplace_back();
            bursts.back().push_back(byte);
            lastByte = t;
        }
    }
    return bursts;
}

Outcome oracle(const std::vector<std::vector<uint8_t>> &bursts)
{
    Outcome out;
    for (size_t b = 0; b < bursts.size(); ++b) {
        const std::vector<uint8_t> &burst = bursts[b];
        size_t start = 0;
        while (burst.size() - start >= 2 && burst.size() - start >= size_t(burst[start + 1]) + 5) {
            const size_t length = size_t(burst[start + 1]) + 5;
            out.frames.emplace_back(burst.begin() + start, burst.begin() + start + length);
            start += length;
        }
        const size_t tail = burst.size() - start;
        const bool last = b + 1 == bursts.size();
        if (tail > 0 && !last) {
            saturatingAdd(out.counters.interByteTimeouts, 1);
            saturatingAdd(out.counters.ignoredBytes, tail);
        }
        if (last)
            out.receiving = tail > 0;
    }
    return out;
}

void controlLines(const std::string &text)
{
    Bus bus;
    bus.addDevice();
    DeviceConfig second;
    second.address = 3;
    bus.addDevice(second);
    ControlCommands commands(bus);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;

        std::string first;
        const size_t wordStart = line.find_first_not_of(" \t\r\v\f");
        if (wordStart != std::string::npos)
            first = line.substr(wordStart, line.find_first_of(" \t\r\v\f", wordStart) - wordStart);
        const ControlCommands::Result result = commands.execute(line);
        check(result.quit == (first == "quit" || first == "exit"), "quit without the quit command");
        if (!first.empty() && !result.quit)
            check(!result.output.empty() && result.output.back() == '\n', "a command answered without a line");
        if (first.empty())
            check(result.output.empty(), "an empty line answered");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    size_t at = 0;
    const size_t boundaries = size > 0 ? (data[at++] & 0x0F) : 0;
    std::vector<std::pair<uint8_t, uint8_t>> splits;
    for (size_t i = 0; i < boundaries && at + 1 < size; ++i, at += 2)
        splits.emplace_back(data[at], data[at + 1]);
    const std::vector<uint8_t> stream(data + at, data + size);

    std::vector<Chunk> chunks(1);
    size_t taken = 0;
    for (const auto &[length, gap] : splits) {
        const size_t n = std::min<size_t>(length, stream.size() - taken);
        chunks.back().bytes.assign(stream.begin() + taken, stream.begin() + taken + n);
        taken += n;
        Chunk next;
        next.pause = (gap & 0x80) != 0 ? kInterByteTimeout + std::chrono::milliseconds(1 + (gap & 0x7F))
                                    : std::chrono::milliseconds(gap % 51);
        chunks.push_back(next);
    }
    chunks.back().bytes.assign(stream.begin() + taken, stream.end());

    const Outcome got = receive(chunks);
    const auto bursts = burstsOf(chunks);
    const Outcome expected = oracle(bursts);
    check(got.frames == expected.frames, "the messages differ from the oracle's");
    check(got.counters == expected.counters, "the comms counters differ from the oracle's");
    check(got.receiving == expected.receiving, "a partial message differs from the oracle's");
    for (const Bytes &frame : got.frames)
        check(frame.size() >= 5 && frame.size() == size_t(frame[1]) + 5, "a message of the wrong length");

    if (bursts.size() <= 1) {
        Chunk whole;
        whole.bytes = stream;
        const Outcome atOnce = receive({whole});
        check(atOnce.frames == got.frames, "the split changed the messages");
        check(atOnce.counters == got.counters, "the split changed the comms counters");
    }

    controlLines(std::string(reinterpret_cast<const char *>(data), size));
    return 0;
}
