#include "ReplyCheck.h"

#include <algorithm>

#include "HeaderNames.h"

namespace {

constexpr uint8_t kHost = 1;
constexpr int kFrameBytes = 5; // destination, length, source, header, checksum

bool sourceFollowsAddress(uint8_t header)
{
    // The device answers a change of address from its new address.
    return header != 250 && header != 251;
}

} // namespace

int replyDataLength(uint8_t header)
{
    switch (header) {
    case 1: case 3: case 185: case 210: case 228: case 231: case 233: case 238: case 240: case 250:
    case 251: case 254:
        return 0;
    case 169: case 209: case 227: case 236: case 237: case 243: case 248:
        return 1;
    case 195: case 196: case 230: case 249:
        return 2;
    case 2: case 4: case 242:
        return 3;
    case 184:
        return 6;
    case 229:
        return 11;
    case 252: case 253:
        return kBareAnswers;
    default:
        return kAnyLength;
    }
}

ReplyVerdict checkExchange(const PontelExchange &exchange, bool open)
{
    ReplyVerdict v;
    const int sent = std::min<int>(exchange.sentCount, sizeof exchange.sent);
    const int received = std::min<int>(exchange.receivedCount, sizeof exchange.received);
    if (sent >= 4) {
        v.address = exchange.sent[0];
        v.requestHeader = exchange.sent[3];
    }
    v.expected = replyDataLength(v.requestHeader);
    if (!open) {
        v.kind = ReplyVerdict::PortClosed;
        return v;
    }
    if (exchange.lastRead == PONTEL_READ_FAILED) {
        v.kind = ReplyVerdict::PortGone;
        return v;
    }
    if (received < sent) {
        v.kind = received == 0 ? ReplyVerdict::NoEcho : ReplyVerdict::Truncated;
        return v;
    }
    if (!std::equal(exchange.sent, exchange.sent + sent, exchange.received)) {
        // A frame for the host where the echo belongs: the line gave none,
        // and the reply was read in its place.
        const bool replyFirst = sent > 0 && exchange.sent[0] != kHost && exchange.received[0] == kHost;
        v.kind = replyFirst ? ReplyVerdict::NoEcho : ReplyVerdict::BadEcho;
        return v;
    }
    const uint8_t *reply = exchange.received + sent;
    const int got = received - sent;
    if (v.expected == kBareAnswers) {
        v.data.assign(reply, reply + got);
        v.kind = got == 0 ? ReplyVerdict::NoReply : ReplyVerdict::Good;
        v.expected = kAnyLength;
        return v;
    }
    if (got == 0) {
        v.kind = ReplyVerdict::NoReply;
        return v;
    }
    if (got >= 2)
        v.length = reply[1];
    if (got < v.length + kFrameBytes) {
        // The reader stops at the length it expects: a reply announcing
        // another length is read only that far, in full time.
        const bool lengthWrong = got >= 2 && v.expected >= 0 && v.length != v.expected;
        v.kind = lengthWrong && exchange.lastRead == PONTEL_READ_COMPLETE ? ReplyVerdict::WrongLength
                                                                         : ReplyVerdict::Truncated;
        return v;
    }
    v.destination = reply[0];
    v.source = reply[2];
    v.header = reply[3];
    v.data.assign(reply + 4, reply + 4 + v.length);
    unsigned sum = 0;
    for (int i = 0; i < v.length + kFrameBytes; ++i)
        sum += reply[i];
    if (sum % 256 != 0)
        v.kind = ReplyVerdict::BadChecksum;
    else if (v.destination != kHost)
        v.kind = ReplyVerdict::Unexpected;
    else if (v.address != 0 && v.source != v.address && sourceFollowsAddress(v.requestHeader))
        v.kind = ReplyVerdict::WrongSource;
    else if (v.header == 5)
        v.kind = ReplyVerdict::Nak;
    else if (v.header == 6)
        v.kind = ReplyVerdict::Busy;
    else if (v.header != 0)
        v.kind = ReplyVerdict::Unexpected;
    else if (v.expected >= 0 && v.length != v.expected)
        v.kind = ReplyVerdict::WrongLength;
    else
        v.kind = ReplyVerdict::Good;
    return v;
}

bool lineMayStillCarry(const ReplyVerdict &verdict)
{
    switch (verdict.kind) {
    case ReplyVerdict::Good:
    case ReplyVerdict::Nak:
    case ReplyVerdict::Busy:
    case ReplyVerdict::PortGone:
    case ReplyVerdict::PortClosed:
        return false;
    default:
        return true;
    }
}

std::string describeVerdict(const ReplyVerdict &v, const std::string &port)
{
    const std::string from = "address " + std::to_string(v.address) + " on " + port;
    switch (v.kind) {
    case ReplyVerdict::Good:
        return {};
    case ReplyVerdict::NoEcho:
        return "no echo on " + port + ": the bytes sent did not come back (is the port on a ccTalk line?)";
    case ReplyVerdict::NoReply:
        return "no reply from " + from + " (timed out)";
    case ReplyVerdict::Truncated:
        return "incomplete reply from " + from + " (timed out in the middle of it, or the line gives no echo)";
    case ReplyVerdict::BadChecksum:
        return "bad reply from " + from + " (wrong checksum)";
    case ReplyVerdict::Nak:
        return from + " refused the request (NAK)";
    case ReplyVerdict::Busy:
        return from + " is busy (BUSY)";
    case ReplyVerdict::Unexpected:
        return "unexpected reply from " + from + " (destination " + std::to_string(v.destination) + ", header "
               + std::to_string(v.header) + ")";
    case ReplyVerdict::WrongSource:
        return "reply from address " + std::to_string(v.source) + " to a request for " + from
               + " (another device, or a late reply)";
    case ReplyVerdict::WrongLength:
        return "reply of " + std::to_string(v.length) + " bytes to the " + headerName(v.requestHeader)
               + " request, expected " + std::to_string(v.expected) + " (" + from + ")";
    case ReplyVerdict::BadEcho:
        return "garbled echo on " + port
               + ": the bytes that came back differ from those sent (two devices talking at once, or noise)";
    case ReplyVerdict::PortGone:
        return port + " stopped working: the adapter was unplugged or the port is gone";
    case ReplyVerdict::PortClosed:
        return port + " is not open";
    }
    return {};
}
