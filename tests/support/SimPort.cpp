#include "SimPort.h"

#include <stdexcept>
#include <string>

using namespace ccsim;

SimPort::SimPort() : SimPort(std::vector<DeviceConfig>{DeviceConfig{}}) {}

SimPort::SimPort(std::vector<DeviceConfig> devices, BusConfig config) : m_bus(config)
{
    for (auto &device : devices)
        m_bus.addDevice(std::move(device));
}

Device &SimPort::device(uint8_t address)
{
    if (Device *d = m_bus.device(address))
        return *d;
    throw std::out_of_range("no simulated device at address " + std::to_string(address));
}

void SimPort::setAddressPollQuiet(SimTime quiet)
{
    for (size_t i = 0; i < m_bus.deviceCount(); ++i)
        m_bus.deviceAt(i).config().addressPollQuiet = quiet;
}

void SimPort::passTime(SimTime duration)
{
    m_now += duration;
    m_bus.advanceTo(m_now);
    fetchArrived();
}

void SimPort::clearRecords()
{
    m_writes.clear();
    m_readSizes.clear();
    m_hostBytes.clear();
}

size_t SimPort::pendingInput()
{
    fetchArrived();
    return m_input.size() - m_inputRead;
}

void SimPort::fetchArrived()
{
    if (m_inputRead == m_input.size()) {
        m_input.clear();
        m_inputRead = 0;
    }
    const Bytes arrived = m_bus.takeAll(m_now);
    m_input.insert(m_input.end(), arrived.begin(), arrived.end());
}

bool SimPort::portFree(uint8_t n)
{
    return m_freePorts.count(n) != 0;
}

int32_t SimPort::openFailure(uint8_t n, std::string &text)
{
    const auto it = m_refused.find(n);
    text = it == m_refused.end() ? std::string() : it->second.second;
    return it == m_refused.end() ? 0 : it->second.first;
}

PortHandle SimPort::open(uint8_t n, const int32_t settings[9])
{
    if (!portFree(n))
        return -1;
    // Opening a port number that is open already releases the earlier handle.
    for (auto it = m_open.begin(); it != m_open.end();)
        it = it->second.number == n ? m_open.erase(it) : std::next(it);
    const auto ms = [](int32_t value) { return SimTime(std::chrono::milliseconds(value > 0 ? value : 0)); };
    const PortHandle handle = m_nextHandle++;
    m_open[handle] = OpenPort{n, ms(settings[4]), ms(settings[5]), ms(settings[6])};
    return handle;
}

bool SimPort::close(PortHandle handle)
{
    return m_open.erase(handle) != 0;
}

bool SimPort::isOpen(PortHandle handle)
{
    return m_open.count(handle) != 0;
}

bool SimPort::send(PortHandle handle, const uint8_t *bytes, int32_t count)
{
    if (!isOpen(handle) || count < 0 || (count > 0 && !bytes))
        return false;
    m_writes.emplace_back(bytes, bytes + count);
    m_hostBytes.insert(m_hostBytes.end(), bytes, bytes + count);
    m_bus.advanceTo(m_now);
    m_bus.hostWrite(bytes, static_cast<size_t>(count), m_now);
    return true;
}

bool SimPort::receive(PortHandle handle, uint8_t *buffer, int32_t count)
{
    return count >= 0 && receiveSome(handle, buffer, count) == count;
}

int32_t SimPort::receiveSome(PortHandle handle, uint8_t *buffer, int32_t count)
{
    const auto it = m_open.find(handle);
    if (it == m_open.end() || count < 0 || (count > 0 && !buffer))
        return -1;
    m_readSizes.push_back(count);
    return read(it->second, buffer, count);
}

int32_t SimPort::receiveUpTo(PortHandle handle, uint8_t *buffer, int32_t max)
{
    const auto it = m_open.find(handle);
    if (it == m_open.end())
        return -1;
    if (max < 0 || (max > 0 && !buffer))
        return 0;
    m_readSizes.push_back(max);
    return read(it->second, buffer, max);
}

int32_t SimPort::read(const OpenPort &port, uint8_t *buffer, int32_t count)
{
    const bool totalLimit = port.perByte.count() > 0 || port.constant.count() > 0;
    const SimTime deadline = totalLimit ? m_now + port.perByte * count + port.constant : kForever;
    int32_t got = 0;
    SimTime lastByte{};
    fetchArrived();
    while (got < count) {
        if (m_inputRead < m_input.size()) {
            buffer[got++] = m_input[m_inputRead++];
            lastByte = m_now;
            continue;
        }
        // Nothing there: wait, in virtual time, for the next byte unless a
        // time-out expires first. The gap between bytes counts only once
        // the first byte has come.
        SimTime limit = deadline;
        if (got > 0 && port.interval.count() > 0)
            limit = std::min(limit, lastByte + port.interval);
        const auto next = m_bus.nextByteTime();
        if (!next || *next > limit) {
            if (limit != kForever && limit > m_now)
                passTime(limit - m_now);
            return got;
        }
        if (*next > m_now)
            m_now = *next;
        m_bus.advanceTo(m_now);
        fetchArrived();
    }
    return got;
}
