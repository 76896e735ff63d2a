#include "ScriptedPort.h"

#include <algorithm>

namespace {
// Handles far from 0, -1 and the standard descriptors, one per port number.
constexpr PortHandle FirstHandle = 100;
} // namespace

PortHandle ScriptedPort::openPort(uint8_t n)
{
    const int32_t settings[9] = {9600, 8, 0, 1, 200, 200, 3000, 0, 0};
    return open(n, settings);
}

void ScriptedPort::feed(const Bytes &bytes)
{
    m_input.insert(m_input.end(), bytes.begin(), bytes.end());
}

void ScriptedPort::reset()
{
    m_input.clear();
    m_answers.clear();
    m_requestUnanswered = false;
    m_writes.clear();
    m_writeTimes.clear();
    m_reads.clear();
    m_readTimes.clear();
    m_failingReads.clear();
    m_failingWrites.clear();
    m_refused = 0;
}

std::vector<int32_t> ScriptedPort::writeSizes() const
{
    std::vector<int32_t> sizes;
    for (const Bytes &write : m_writes)
        sizes.push_back(static_cast<int32_t>(write.size()));
    return sizes;
}

ScriptedPort::Bytes ScriptedPort::wire() const
{
    Bytes all;
    for (const Bytes &write : m_writes)
        all.insert(all.end(), write.begin(), write.end());
    return all;
}

bool ScriptedPort::portFree(uint8_t n)
{
    return n >= 1 && n <= 9 && m_open.count(FirstHandle + n) == 0;
}

PortHandle ScriptedPort::open(uint8_t n, const int32_t[9])
{
    if (n < 1 || n > 9)
        return -1;
    m_open.insert(FirstHandle + n);
    return FirstHandle + n;
}

bool ScriptedPort::close(PortHandle handle)
{
    return m_open.erase(handle) == 1;
}

bool ScriptedPort::isOpen(PortHandle handle)
{
    return m_open.count(handle) == 1;
}

bool ScriptedPort::accepts(PortHandle handle)
{
    if (isOpen(handle))
        return true;
    ++m_refused;
    return false;
}

bool ScriptedPort::send(PortHandle handle, const uint8_t *bytes, int32_t count)
{
    if (!accepts(handle) || count < 0)
        return false;
    m_writes.emplace_back(bytes, bytes + count);
    m_writeTimes.push_back(Clock::now());
    m_requestUnanswered = true;
    if (m_failingWrites.count(static_cast<int>(m_writes.size())) != 0)
        return false;
    if (m_echo)
        m_input.insert(m_input.end(), bytes, bytes + count);
    return true;
}

int32_t ScriptedPort::take(uint8_t *buffer, int32_t count)
{
    const int32_t n = std::min<int32_t>(count, static_cast<int32_t>(m_input.size()));
    std::copy_n(m_input.begin(), n, buffer);
    m_input.erase(m_input.begin(), m_input.begin() + n);
    return n;
}

void ScriptedPort::recordRead(int32_t count)
{
    m_reads.push_back(count);
    m_readTimes.push_back(Clock::now());
    if (m_requestUnanswered && !m_answers.empty()) {
        m_input.insert(m_input.end(), m_answers.front().begin(), m_answers.front().end());
        m_answers.pop_front();
    }
    m_requestUnanswered = false;
}

bool ScriptedPort::receive(PortHandle handle, uint8_t *buffer, int32_t count)
{
    return count >= 0 && receiveSome(handle, buffer, count) == count;
}

int32_t ScriptedPort::receiveSome(PortHandle handle, uint8_t *buffer, int32_t count)
{
    if (!accepts(handle) || count < 0)
        return -1;
    recordRead(count);
    if (m_failingReads.count(static_cast<int>(m_reads.size())) != 0)
        return 0;
    return take(buffer, count);
}

int32_t ScriptedPort::receiveUpTo(PortHandle handle, uint8_t *buffer, int32_t max)
{
    if (!accepts(handle))
        return -1;
    recordRead(max);
    if (m_failingReads.count(static_cast<int>(m_reads.size())) != 0)
        return 0;
    return take(buffer, std::max<int32_t>(max, 0));
}
