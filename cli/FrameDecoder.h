// The decoder of `ravlin monitor`: a stream of bytes heard on the line, with
// the time each arrived, cut into ccTalk messages. A message is a head
// (destination, length, source, header), its data and a checksum that makes
// the sum of all its bytes a multiple of 256. Bytes that do not start a
// message with a good checksum are held until more bytes make one or the
// line has been quiet for the gap: then a complete message with a wrong
// checksum is reported as such, and what is left as noise, except the bare
// one-byte answers that follow an address poll.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "Json.h"

namespace ravlin {

struct HeardFrame
{
    enum Kind { Message, BadChecksum, Noise, BareAnswer } kind = Message;
    double time = 0; // seconds, when its first byte arrived
    std::vector<uint8_t> bytes;
    uint8_t answeredHeader = 0; // replies: the header of the request before
};

class FrameDecoder
{
public:
    explicit FrameDecoder(double gapSeconds) : m_gap(gapSeconds) {}

    // Bytes of which the first arrived at `time` and each next one
    // `spacing` seconds later; returns the frames now complete.
    std::vector<HeardFrame> feed(const uint8_t *bytes, size_t count, double time, double spacing = 0);
    // Nothing arrived until `now`: after the gap the bytes held are decided.
    std::vector<HeardFrame> idle(double now);

private:
    struct Byte
    {
        uint8_t value;
        double time;
    };
    bool goodAt(size_t offset) const;
    size_t lengthAt(size_t offset) const { return m_pending[offset + 1].value + 5u; }
    void emit(std::vector<HeardFrame> &out, HeardFrame::Kind kind, size_t count);
    void decide(std::vector<HeardFrame> &out, bool quiet);

    double m_gap;
    std::deque<Byte> m_pending;
    uint8_t m_lastRequest = 0;
    bool m_afterAddressPoll = false;
    double m_bareUntil = 0; // bare answers come within about a second
};

// One line for a person: time, direction, addresses, header name, data in
// hexadecimal and as text, checksum verdict.
std::string describeFrame(const HeardFrame &frame);
JsonObject frameJson(const HeardFrame &frame);

} // namespace ravlin
