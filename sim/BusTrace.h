// The decoded bus monitor of `ccsim --trace`: one line per message, with the
// time, the direction, the addresses, the header's name, the data bytes and
// whether the checksum is good. The host's bytes are taken apart with the
// same 50 ms inter-byte time-out a device uses; leftovers show as noise.
#pragma once

#include <ostream>

#include "Bus.h"

namespace ccsim {

class BusTrace
{
public:
    explicit BusTrace(std::ostream &out) : m_out(out) {}

    void onActivity(const BusActivity &activity);
    // Reports a partial host message whose time-out has passed by now.
    void expire(SimTime now);
    // A line of its own (control commands, dropped bytes).
    void note(SimTime time, const std::string &text);

    // One trace line for a whole message (exposed for tests).
    static std::string describe(SimTime time, bool fromHost, const Bytes &message, uint8_t answeredHeader);

private:
    void hostByte(uint8_t byte, SimTime time);
    void dropPartial();

    std::ostream &m_out;
    Bytes m_partial;
    SimTime m_partialStart{};
    SimTime m_lastByte{};
    uint8_t m_lastRequest = 0;
};

} // namespace ccsim
