// A host for the in-process tests of the model: writes to a bus at a virtual
// time and collects what comes back.
#pragma once

#include "Bus.h"
#include "Frame.h"

struct BusHost
{
    ccsim::Bus bus;
    ccsim::SimTime now{};

    explicit BusHost(ccsim::BusConfig config = {}) : bus(config) {}

    // Writes the bytes, lets `wait` pass and returns everything the host
    // received meanwhile, echo included.
    ccsim::Bytes exchange(const ccsim::Bytes &bytes, ccsim::SimTime wait = std::chrono::milliseconds(100))
    {
        bus.advanceTo(now);
        bus.hostWrite(bytes, now);
        return passTime(wait);
    }

    // The reply alone, echo stripped.
    ccsim::Bytes ask(uint8_t destination, uint8_t header, ccsim::Bytes data = {},
                     ccsim::SimTime wait = std::chrono::milliseconds(100))
    {
        const ccsim::Bytes request = ccsim::encode({destination, ccsim::kHostAddress, header, std::move(data)});
        ccsim::Bytes all = exchange(request, wait);
        if (all.size() < request.size() || !std::equal(request.begin(), request.end(), all.begin()))
            return {0xEE}; // echo missing or wrong: never a valid reply
        return ccsim::Bytes(all.begin() + static_cast<long>(request.size()), all.end());
    }

    ccsim::Bytes passTime(ccsim::SimTime wait)
    {
        now += wait;
        bus.advanceTo(now);
        return bus.takeAll(now);
    }
};

// The reply a device at `source` sends with these data bytes.
inline ccsim::Bytes replyFrom(uint8_t source, ccsim::Bytes data = {}, uint8_t header = ccsim::header::Reply)
{
    return ccsim::encode({ccsim::kHostAddress, source, header, std::move(data)});
}

inline ccsim::Bytes textBytes(const std::string &text)
{
    return ccsim::Bytes(text.begin(), text.end());
}
