// Takes a device's incoming byte stream apart into messages, the way a ccTalk
// slave does: the length byte tells where a message ends, and a gap longer
// than the inter-byte time-out throws a partly received message away. The
// three comms counters count what went wrong on the way in.
#pragma once

#include <cstdint>
#include <optional>

#include "Frame.h"
#include "SimTime.h"

namespace ccsim {

struct CommsCounters
{
    uint8_t interByteTimeouts = 0; // partial messages ended by the time-out
    uint8_t ignoredBytes = 0;      // bytes thrown away without being answered
    uint8_t badChecksums = 0;      // whole messages whose checksum was wrong

    bool operator==(const CommsCounters &other) const
    {
        return interByteTimeouts == other.interByteTimeouts && ignoredBytes == other.ignoredBytes
            && badChecksums == other.badChecksums;
    }
};

// Adds to a one-byte counter, stopping at 255.
inline void countUp(uint8_t &counter, unsigned amount = 1)
{
    counter = static_cast<uint8_t>(counter + amount > 255 ? 255 : counter + amount);
}

class FrameReceiver
{
public:
    explicit FrameReceiver(SimTime interByteTimeout = kInterByteTimeout);

    // One byte received at time t (times never go back). Returns the whole
    // message this byte completes, checksum not yet tested.
    std::optional<Bytes> push(uint8_t byte, SimTime t);

    // Lets time pass to t: a partial message older than the time-out is
    // dropped and counted.
    void expire(SimTime t);

    // Counts bytes thrown away by the device itself (while it keeps quiet).
    void ignore(unsigned count) { countUp(m_counters.ignoredBytes, count); }
    void badChecksum() { countUp(m_counters.badChecksums); }

    // Forgets a partial message without counting it (power-up).
    void reset() { m_partial.clear(); }

    const CommsCounters &counters() const { return m_counters; }
    void clearCounters() { m_counters = {}; }

    bool receiving() const { return !m_partial.empty(); }
    // When the partial message will be dropped, kForever when there is none.
    SimTime deadline() const;

private:
    SimTime m_timeout;
    Bytes m_partial;
    SimTime m_lastByte{};
    CommsCounters m_counters;
};

} // namespace ccsim
