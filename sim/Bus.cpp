#include "Bus.h"

#include <algorithm>

namespace ccsim {

Bus::Bus(BusConfig config) : m_config(config) {}

Device &Bus::addDevice(DeviceConfig config)
{
    m_devices.push_back(std::make_unique<Device>(std::move(config)));
    m_deviceLineFree.push_back(SimTime(0));
    return *m_devices.back();
}

Device *Bus::device(uint8_t address)
{
    for (auto &device : m_devices)
        if (device->address() == address)
            return device.get();
    return nullptr;
}

void Bus::hostWrite(const uint8_t *bytes, size_t count, SimTime now)
{
    if (count == 0)
        return;
    const SimTime bt = byteTime();
    const SimTime start = std::max(now, m_hostLineFree);
    if (bt.count() > 0) {
        // Only the bytes that start within the backlog limit get on the line.
        const SimTime room = now + bt * kLineBacklogBytes - start;
        const size_t fits = room < SimTime(0) ? 0 : static_cast<size_t>(room / bt) + 1;
        if (fits < count) {
            const size_t lost = count - fits;
            for (auto &device : m_devices)
                device->missBytes(static_cast<unsigned>(lost));
            if (m_observer)
                m_observer({BusActivity::HostOverrun, start, 0, false, Bytes(bytes + fits, bytes + count)});
            count = fits;
            if (count == 0)
                return;
        }
    }
    m_hostLineFree = start + bt * static_cast<long>(count);

    const bool echo = std::none_of(m_devices.begin(), m_devices.end(),
                                   [](const auto &d) { return d->fault() == Fault::NoEcho; });
    OnWire wire{start, Bytes(bytes, bytes + count), 0, true, -1};
    if (m_observer)
        m_observer({BusActivity::HostBytes, start, 0, false, wire.bytes});
    if (echo)
        m_wire.push_back(wire);

    for (size_t i = 0; i < count; ++i) {
        const SimTime arrival = wire.arrival(i, bt);
        for (size_t d = 0; d < m_devices.size(); ++d)
            if (auto answer = m_devices[d]->receive(bytes[i], arrival))
                schedule(static_cast<int>(d), std::move(*answer));
    }
}

void Bus::schedule(int deviceIndex, Transmission transmission)
{
    const SimTime bt = byteTime();
    if (m_deviceLineFree[deviceIndex] > transmission.start + bt * kLineBacklogBytes) {
        if (m_observer)
            m_observer({BusActivity::DeviceOverrun, transmission.start, m_devices[deviceIndex]->address(),
                        transmission.bare, transmission.bytes});
        return;
    }
    OnWire mine{std::max(transmission.start, m_deviceLineFree[deviceIndex]), std::move(transmission.bytes), 0,
                false, deviceIndex};
    const auto length = [bt](const OnWire &w) { return bt * static_cast<long>(w.bytes.size()); };
    m_deviceLineFree[deviceIndex] = mine.start + length(mine);
    if (m_observer)
        m_observer({BusActivity::DeviceBytes, mine.start, m_devices[deviceIndex]->address(), transmission.bare,
                    mine.bytes});

    for (OnWire &other : m_wire) {
        if (other.fromHost || other.device == deviceIndex || other.delivered == other.bytes.size())
            continue;
        const bool overlap = bt.count() == 0
            ? other.start == mine.start
            : mine.start < other.start + length(other) && other.start < mine.start + length(mine);
        if (!overlap)
            continue;
        // Two devices drive the wire at once: the host sees the AND of their
        // bytes where they overlap.
        OnWire &base = mine.start < other.start ? mine : other;
        const OnWire &later = mine.start < other.start ? other : mine;
        Bytes merged = base.bytes;
        const size_t offset = bt.count() == 0
            ? 0
            : static_cast<size_t>((later.start - base.start + bt / 2) / bt);
        for (size_t k = 0; k < later.bytes.size(); ++k) {
            const size_t pos = offset + k;
            if (pos < other.delivered)
                continue;
            if (pos < merged.size())
                merged[pos] &= later.bytes[k];
            else
                merged.push_back(later.bytes[k]);
        }
        other.start = base.start;
        other.bytes = std::move(merged);
        m_deviceLineFree[deviceIndex] = std::max(m_deviceLineFree[deviceIndex], other.start + length(other));
        return;
    }
    m_wire.push_back(std::move(mine));
}

size_t Bus::nextOnWire() const
{
    const SimTime bt = byteTime();
    size_t best = kNone;
    SimTime bestTime{};
    for (size_t i = 0; i < m_wire.size(); ++i) {
        const OnWire &w = m_wire[i];
        if (w.delivered == w.bytes.size())
            continue;
        const SimTime t = w.arrival(w.delivered, bt);
        // At equal times the echo comes first: the host's byte was on the
        // wire before any device could answer it.
        if (best == kNone || t < bestTime || (t == bestTime && w.fromHost && !m_wire[best].fromHost)) {
            best = i;
            bestTime = t;
        }
    }
    return best;
}

std::optional<SimTime> Bus::nextByteTime() const
{
    const size_t next = nextOnWire();
    if (next == kNone)
        return std::nullopt;
    return m_wire[next].arrival(m_wire[next].delivered, byteTime());
}

size_t Bus::take(uint8_t *out, size_t max, SimTime now)
{
    size_t n = 0;
    while (n < max) {
        const size_t next = nextOnWire();
        if (next == kNone)
            break;
        OnWire &w = m_wire[next];
        if (w.arrival(w.delivered, byteTime()) > now)
            break;
        out[n++] = w.bytes[w.delivered++];
    }
    while (!m_wire.empty() && m_wire.front().delivered == m_wire.front().bytes.size())
        m_wire.pop_front();
    return n;
}

Bytes Bus::takeAll(SimTime now)
{
    Bytes bytes;
    uint8_t chunk[256];
    while (size_t n = take(chunk, sizeof chunk, now))
        bytes.insert(bytes.end(), chunk, chunk + n);
    return bytes;
}

void Bus::advanceTo(SimTime now)
{
    for (auto &device : m_devices)
        device->expire(now);
}

SimTime Bus::nextEvent() const
{
    SimTime next = nextByteTime().value_or(kForever);
    for (const auto &device : m_devices)
        next = std::min(next, device->nextTimer());
    return next;
}

} // namespace ccsim
