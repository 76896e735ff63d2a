// What one open port last carried: the request written and the bytes read
// after it, so that a caller can tell afterwards whether the device really
// answered, and what. A write that follows a read starts a new exchange;
// writes in a row make one request, reads in a row one reply.
#pragma once

#include <cstdint>
#include <mutex>

#include "PontelDeclar.h"

namespace pontel {

class ExchangeRecord
{
public:
    void wrote(const uint8_t *bytes, int32_t count);
    // A read that got `got` bytes, ending as `end` says (a PONTEL_READ_*
    // value).
    void read(const uint8_t *bytes, int32_t got, int32_t end);
    // A write that failed: the port no longer takes bytes.
    void writeFailed();
    PontelExchange last() const;

private:
    mutable std::mutex m_mutex;
    PontelExchange m_exchange{};
    bool m_reading = false;
};

} // namespace pontel
