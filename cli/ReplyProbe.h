// What a device answers to one request, found out through the raw
// pass-through when an export has failed but its exchange looked good:
// nothing at all, no echo, a reply cut short, a wrong checksum, a NAK, a
// BUSY, or a good reply.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PortSession.h"
#include "ReplyCheck.h"

namespace ravlin {

using Probe = ReplyVerdict;

// Sends the request (header 250 to 253 excepted) after throwing away what
// the line left unread, and classifies the reply.
Probe probeRequest(PortSession &port, uint8_t address, uint8_t header, const std::vector<uint8_t> &data);

// Classifies a framed reply as CCSend_Command left it (exposed for tests).
Probe classifyReply(bool sent, const uint8_t reply[260]);

// "no reply from address 2 on Com1 (timed out)" and the like (the address
// is the one given); for a good reply, `whenGood` says what went wrong all
// the same.
std::string describeFailure(const Probe &probe, uint8_t address, const std::string &port,
                            const std::string &whenGood);

} // namespace ravlin
