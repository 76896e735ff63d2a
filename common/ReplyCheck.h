// Whether an exchange on the line got the reply that ccTalk defines for its
// request, and if not, what went wrong: read from what the serial layer
// recorded (the request sent, every byte read after it, how the last read
// ended), so that it holds whatever the export that made the exchange
// returned. The window and ravlin decide and word a failure the same way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PontelDeclar.h"

struct ReplyVerdict
{
    enum Kind {
        Good,
        NoEcho,      // the bytes sent did not come back
        NoReply,     // echo, then nothing within the time-out
        Truncated,   // a reply cut short by the time-out
        BadChecksum,
        Nak,
        Busy,
        Unexpected,  // not for the host, or a header other than a reply
        WrongSource, // from another address than the one asked
        WrongLength, // a length other than the one ccTalk defines
        BadEcho,     // the bytes that came back differ from those sent
        PortGone,    // the device reported an error: unplugged, removed
        PortClosed,  // the port is not open
    } kind = NoReply;
    uint8_t address = 0;       // the request's destination
    uint8_t requestHeader = 0;
    // Of the reply, when one came whole.
    uint8_t destination = 0;
    uint8_t source = 0;
    uint8_t header = 0;
    int length = 0;            // the data length it announced
    int expected = -1;         // the data length ccTalk defines, -1: any
    std::vector<uint8_t> data; // bare answers for the address poll
};

// The data length of the reply to a request with this header: the number
// of bytes, kAnyLength for texts and headers ccTalk gives no length for,
// kBareAnswers for the address poll and clash (one byte per device, no
// frame).
constexpr int kAnyLength = -1;
constexpr int kBareAnswers = -2;
int replyDataLength(uint8_t header);

// The verdict on the exchange recorded for a port; open is false when the
// serial layer no longer had the port open.
ReplyVerdict checkExchange(const PontelExchange &exchange, bool open = true);

// Whether bytes of the failed exchange may still be on their way: a reply
// that came late, or the rest of one cut short or garbled. A refusal (NAK,
// BUSY) came whole; a port that is closed or gone carries nothing.
bool lineMayStillCarry(const ReplyVerdict &verdict);

// One line for a failed verdict: "no reply from address 2 on Com1 (timed
// out)", "reply of 18 bytes to the read event buffer request, expected 11
// (address 2 on Com1)", ...; empty for a good one.
std::string describeVerdict(const ReplyVerdict &verdict, const std::string &port);
