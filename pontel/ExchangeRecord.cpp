#include "ExchangeRecord.h"

#include <algorithm>
#include <cstring>

namespace pontel {

namespace {

// Appends what fits of bytes to a kept array, and counts all of them.
template <size_t N>
void keep(uint8_t (&kept)[N], int32_t &count, const uint8_t *bytes, int32_t n)
{
    if (n <= 0)
        return;
    const int32_t room = std::max<int32_t>(0, int32_t(N) - count);
    std::memcpy(kept + std::min<int32_t>(count, int32_t(N)), bytes, size_t(std::min(room, n)));
    count += n;
}

} // namespace

void ExchangeRecord::wrote(const uint8_t *bytes, int32_t count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_reading || m_exchange.number == 0) {
        const uint32_t number = m_exchange.number + 1;
        m_exchange = PontelExchange{};
        m_exchange.number = number;
        m_reading = false;
    }
    keep(m_exchange.sent, m_exchange.sentCount, bytes, count);
}

void ExchangeRecord::read(const uint8_t *bytes, int32_t got, int32_t end)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_reading = true;
    keep(m_exchange.received, m_exchange.receivedCount, bytes, got);
    m_exchange.lastRead = end;
}

void ExchangeRecord::writeFailed()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_exchange.lastRead = PONTEL_READ_FAILED;
}

PontelExchange ExchangeRecord::last() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_exchange;
}

} // namespace pontel
