// The decoder of `ravlin monitor`: a stream of bytes heard on the line, with
// the time each arrived, cut into ccTalk messages. A message is a head
// (destination, length, source, header), its data and a checksum that makes
// the sum of all its bytes a multiple of 256. Bytes that do not start a
// message with a good checksum are held until more bytes make one or the
// line has been quiet for the gap: then a complete message with a wrong
// checksum is reported as such, and what is left as noise, except the bare
// one-byte answers that follow an address poll.
//
// A message that follows a request and is addressed to that request's
// source (from the device asked, unless it was asked at address 0) is its
// reply, whatever the host's address; any other message is a request. When
// such a reply is complete but its checksum is wrong, it is reported as a
// bad reply with all its bytes, rather than cut again into noise and a
// message that a later byte happens to make valid.
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
    bool reply = false;         // messages: a reply to the request before
    uint8_t answeredHeader = 0; // replies: the header of that request
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
    // Whether all of the message a start at offset announces has come.
    bool completeAt(size_t offset) const
    {
        return m_pending.size() >= offset + 5 && m_pending.size() >= offset + lengthAt(offset);
    }
    size_t lengthAt(size_t offset) const { return m_pending[offset + 1].value + 5u; }
    // Whether the bytes held start with the reply the last request awaits
    // (its addresses; the checksum is not looked at).
    bool awaitedReplyFirst() const;
    void emit(std::vector<HeardFrame> &out, HeardFrame::Kind kind, size_t count);
    void decide(std::vector<HeardFrame> &out, bool quiet);

    struct Request
    {
        uint8_t destination = 0, source = 0, header = 0;
    };

    double m_gap;
    std::deque<Byte> m_pending;
    bool m_awaitingReply = false;
    Request m_lastRequest;
    bool m_afterAddressPoll = false;
    double m_bareUntil = 0; // bare answers come within about a second
};

// One line for a person: time, direction, addresses, header name, data in
// hexadecimal and as text, checksum verdict.
std::string describeFrame(const HeardFrame &frame);
JsonObject frameJson(const HeardFrame &frame);

} // namespace ravlin
