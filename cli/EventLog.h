// The coin event buffer: the event counter, then five result pairs, newest
// first. A pair with a channel (result A, 1 to 255) is a credit on that
// channel with result B as the sorter path; a pair with A = 0 is an error
// or status event, B its code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Json.h"

namespace ravlin {

struct CoinEvent
{
    unsigned number;  // the counter value this event had
    uint8_t resultA;  // channel, 0 for an error event
    uint8_t resultB;  // sorter path, or the error code
};

// "credit on channel 5, sorter path 2" / "error 2: inhibited coin"
std::string describeEvent(uint8_t resultA, uint8_t resultB);
std::string errorName(uint8_t code);
JsonObject eventJson(const CoinEvent &event);

// The five events a buffer holds, newest first, numbered from the counter
// (the counter runs 1 to 255 and goes on at 1; 0 only after power-up or a
// reset). Pairs before the first event of the device are left out.
std::vector<CoinEvent> bufferedEvents(const std::vector<uint8_t> &buffer);

// Follows the counter from one read to the next.
class EventTracker
{
public:
    struct Update
    {
        std::vector<CoinEvent> fresh; // oldest first
        unsigned lost = 0;            // more new events than the buffer holds
        bool first = false;           // the first read: the counter it started at
        bool counterReset = false;    // the counter went back to 0
    };

    Update update(const std::vector<uint8_t> &buffer);

private:
    std::optional<uint8_t> m_last;
};

} // namespace ravlin
