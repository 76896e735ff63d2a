#include "ReplyProbe.h"

#include <algorithm>
#include <cstring>

#include "CCTalkComDeclar.h"

namespace ravlin {

namespace {
// The reply buffer is filled with this before the call: bytes still holding
// it after a failed read never arrived.
constexpr uint8_t kUntouched = 0xA5;
} // namespace

Probe classifyReply(bool sent, const uint8_t reply[260])
{
    Probe probe;
    if (!sent) {
        const bool cleared = std::all_of(reply, reply + 254, [](uint8_t b) { return b == 0; });
        if (cleared)
            probe.kind = Probe::NoEcho;
        else
            probe.kind = (reply[0] == kUntouched && reply[1] == kUntouched) ? Probe::NoReply : Probe::Truncated;
        return probe;
    }
    const size_t length = reply[1];
    unsigned sum = 0;
    for (size_t i = 0; i < length + 5; ++i)
        sum += reply[i];
    probe.destination = reply[0];
    probe.source = reply[2];
    probe.header = reply[3];
    probe.data.assign(reply + 4, reply + 4 + length);
    if (sum % 256 != 0)
        probe.kind = Probe::BadChecksum;
    else if (reply[0] != 1)
        probe.kind = Probe::Unexpected;
    else if (reply[3] == 5)
        probe.kind = Probe::Nak;
    else if (reply[3] == 6)
        probe.kind = Probe::Busy;
    else if (reply[3] != 0)
        probe.kind = Probe::Unexpected;
    else
        probe.kind = Probe::Good;
    return probe;
}

Probe probeRequest(PortSession &port, uint8_t address, uint8_t header, const std::vector<uint8_t> &data)
{
    port.discardInput();
    uint8_t request[255] = {};
    request[0] = address;
    request[1] = static_cast<uint8_t>(std::min<size_t>(data.size(), 251));
    request[2] = 1;
    request[3] = header;
    std::copy(data.begin(), data.begin() + request[1], request + 4);
    uint8_t reply[260];
    std::memset(reply, kUntouched, sizeof reply);
    CCSend_Command(port.handle(), request, reply);
    Probe probe;
    if (!port.newExchange(probe))
        probe.kind = Probe::NoEcho;
    if (lineMayStillCarry(probe))
        port.settle();
    return probe;
}

std::string describeFailure(const Probe &probe, uint8_t address, const std::string &port,
                            const std::string &whenGood)
{
    if (probe.kind == Probe::Good)
        return whenGood.empty() ? "bad reply from address " + std::to_string(address) + " on " + port : whenGood;
    Probe asked = probe;
    asked.address = address;
    return describeVerdict(asked, port);
}

} // namespace ravlin
