#include "FrameReceiver.h"

namespace ccsim {

FrameReceiver::FrameReceiver(SimTime interByteTimeout) : m_timeout(interByteTimeout) {}

std::optional<Bytes> FrameReceiver::push(uint8_t byte, SimTime t)
{
    expire(t);
    m_partial.push_back(byte);
    m_lastByte = t;
    if (m_partial.size() >= 2 && m_partial.size() == size_t(m_partial[1]) + 5) {
        Bytes whole;
        whole.swap(m_partial);
        return whole;
    }
    return std::nullopt;
}

void FrameReceiver::expire(SimTime t)
{
    if (!m_partial.empty() && t - m_lastByte > m_timeout) {
        countUp(m_counters.interByteTimeouts);
        countUp(m_counters.ignoredBytes, static_cast<unsigned>(m_partial.size()));
        m_partial.clear();
    }
}

SimTime FrameReceiver::deadline() const
{
    return m_partial.empty() ? kForever : m_lastByte + m_timeout + SimTime(1);
}

} // namespace ccsim
