// Faults a simulated device can be given, at start or while it runs.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ccsim {

enum class Fault {
    None,
    Silence,        // receives but never answers
    WrongChecksum,  // answers with a checksum off by one
    Nak,            // refuses every framed request with NAK (header 5)
    Busy,           // answers every framed request with BUSY (header 6)
    LateReply,      // answers after the device's late delay
    TruncatedReply, // sends only the first half of its reply
    Garbage,        // sends noise bytes ahead of its reply
    NoEcho,         // the bus returns no echo of the host's bytes
};

const char *faultName(Fault fault);
std::optional<Fault> parseFault(const std::string &name);
const std::vector<Fault> &allFaults();

} // namespace ccsim
