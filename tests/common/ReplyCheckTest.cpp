// The check of a recorded exchange against what ccTalk defines for its
// request: the line bytes after each request, and the verdict.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ReplyCheck.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A frame with its checksum; `adjust` is added to the checksum.
Bytes frame(uint8_t destination, uint8_t source, uint8_t header, const Bytes &data = {}, int adjust = 0)
{
    Bytes f = data;
    const uint8_t head[] = {destination, static_cast<uint8_t>(data.size()), source, header};
    f.insert(f.begin(), head, head + 4);
    unsigned sum = 0;
    for (uint8_t b : f)
        sum += b;
    f.push_back(static_cast<uint8_t>(256 - sum % 256 + adjust));
    return f;
}

PontelExchange exchange(const Bytes &sent, const Bytes &received, int32_t lastRead)
{
    PontelExchange e{};
    e.number = 1;
    e.lastRead = lastRead;
    e.sentCount = static_cast<int32_t>(sent.size());
    e.receivedCount = static_cast<int32_t>(received.size());
    std::copy(sent.begin(), sent.end(), e.sent);
    std::copy(received.begin(), received.end(), e.received);
    return e;
}

Bytes operator+(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ReplyCheck, EachWayAnExchangeEndsHasItsVerdict)
{
    const Bytes serial = frame(2, 1, 242);
    const Bytes events = frame(2, 1, 229);
    const Bytes text = frame(2, 1, 246);
    const Bytes good = frame(1, 2, 0, {135, 214, 18});
    const Bytes eleven(11, 0);
    const Bytes late = frame(1, 2, 0, Bytes(18, 'V'));
    struct Case
    {
        const char *what;
        Bytes sent, received;
        int32_t lastRead;
        ReplyVerdict::Kind kind;
    };
    const Case cases[] = {
        {"good", serial, serial + good, PONTEL_READ_COMPLETE, ReplyVerdict::Good},
        {"nothing came back", serial, {}, PONTEL_READ_TIMED_OUT, ReplyVerdict::NoEcho},
        {"the reply in place of the echo", serial, good, PONTEL_READ_TIMED_OUT, ReplyVerdict::NoEcho},
        {"echo only", serial, serial, PONTEL_READ_TIMED_OUT, ReplyVerdict::NoReply},
        {"echo cut", serial, Bytes(serial.begin(), serial.begin() + 3), PONTEL_READ_TIMED_OUT, ReplyVerdict::Truncated},
        {"echo garbled", serial, Bytes{2, 0, 1, 243, 10} + good, PONTEL_READ_COMPLETE, ReplyVerdict::BadEcho},
        {"reply cut", serial, serial + Bytes(good.begin(), good.begin() + 6), PONTEL_READ_TIMED_OUT,
         ReplyVerdict::Truncated},
        {"bad checksum", serial, serial + frame(1, 2, 0, {135, 214, 18}, 1), PONTEL_READ_COMPLETE,
         ReplyVerdict::BadChecksum},
        {"NAK", serial, serial + frame(1, 2, 5), PONTEL_READ_COMPLETE, ReplyVerdict::Nak},
        {"BUSY", serial, serial + frame(1, 2, 6), PONTEL_READ_COMPLETE, ReplyVerdict::Busy},
        {"for another host", serial, serial + frame(5, 2, 0, {135, 214, 18}), PONTEL_READ_COMPLETE,
         ReplyVerdict::Unexpected},
        {"from another device", serial, serial + frame(1, 3, 0, {135, 214, 18}), PONTEL_READ_COMPLETE,
         ReplyVerdict::WrongSource},
        // A late 18-byte reply read as far as the 3-byte reader goes.
        {"too long, read in part", serial, serial + Bytes(late.begin(), late.begin() + 8), PONTEL_READ_COMPLETE,
         ReplyVerdict::WrongLength},
        {"events of 11", events, events + frame(1, 2, 0, eleven), PONTEL_READ_COMPLETE, ReplyVerdict::Good},
        {"events of 18", events, events + late, PONTEL_READ_COMPLETE, ReplyVerdict::WrongLength},
        {"text of any length", text, text + late, PONTEL_READ_COMPLETE, ReplyVerdict::Good},
        {"empty text", text, text + frame(1, 2, 0), PONTEL_READ_COMPLETE, ReplyVerdict::Good},
        {"address poll", frame(0, 1, 253), frame(0, 1, 253) + Bytes{2, 7}, PONTEL_READ_COMPLETE, ReplyVerdict::Good},
        {"address poll unanswered", frame(0, 1, 253), frame(0, 1, 253), PONTEL_READ_TIMED_OUT, ReplyVerdict::NoReply},
        {"new address acknowledged", frame(2, 1, 251, {7}), frame(2, 1, 251, {7}) + frame(1, 7, 0),
         PONTEL_READ_COMPLETE, ReplyVerdict::Good},
        {"the device went", serial, serial, PONTEL_READ_FAILED, ReplyVerdict::PortGone},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(checkExchange(exchange(c.sent, c.received, c.lastRead)).kind, c.kind);
    }
    EXPECT_EQ(checkExchange(exchange(serial, serial + good, PONTEL_READ_COMPLETE), false).kind,
              ReplyVerdict::PortClosed);
}

TEST(ReplyCheck, AWrongLengthIsWordedWithTheRequestAndWhatWasExpected)
{
    const Bytes events = frame(2, 1, 229);
    const ReplyVerdict v =
        checkExchange(exchange(events, events + frame(1, 2, 0, Bytes(18, 'V')), PONTEL_READ_COMPLETE));
    EXPECT_EQ(describeVerdict(v, "Com1"),
              "reply of 18 bytes to the read event buffer request, expected 11 (address 2 on Com1)");
    EXPECT_FALSE(lineMayStillCarry(checkExchange(exchange(events, events + frame(1, 2, 5), PONTEL_READ_COMPLETE))));
    EXPECT_TRUE(lineMayStillCarry(v));
}

} // namespace
