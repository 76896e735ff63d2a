// A ccTalk bus: one host, several devices, one wire. Every byte the host
// writes comes back to it as echo; each device hears the host's bytes and
// puts its answers on the wire. Devices that talk at once collide: the wire
// carries the AND of their bytes, as an open-collector line does.
//
// The bus keeps no clock: every call says what time it is, and times never go
// back. With pacing each byte takes the byte time of the line; without it
// bytes travel instantly and only the devices' own delays remain.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "Device.h"
#include "SimTime.h"

namespace ccsim {

// How far ahead of now the host's line, or a device's, may be booked: twice
// the longest ccTalk message (260 bytes). A host that writes faster than the
// line carries loses what does not fit, as a UART that overruns; a device
// that would have to queue a reply behind this much of its own drops it.
constexpr long kLineBacklogBytes = 512;

struct BusConfig
{
    bool pacing = false;
    SimTime byteTime = kByteTime9600;
};

// What the bus reports to an observer (the trace of the ccsim program).
struct BusActivity
{
    // HostOverrun: host bytes the line could not carry (lost, never echoed
    // nor heard); DeviceOverrun: a reply a device dropped.
    enum Kind { HostBytes, DeviceBytes, HostOverrun, DeviceOverrun } kind;
    SimTime time;       // when the first byte is on the wire
    uint8_t address;    // the device's address (DeviceBytes)
    bool bare;          // an address poll answer
    Bytes bytes;
};

class Bus
{
public:
    explicit Bus(BusConfig config = {});

    Device &addDevice(DeviceConfig config = {});
    size_t deviceCount() const { return m_devices.size(); }
    Device &deviceAt(size_t index) { return *m_devices.at(index); }
    // The first device with this address, nullptr when none.
    Device *device(uint8_t address);

    bool pacing() const { return m_config.pacing; }
    void setPacing(bool on) { m_config.pacing = on; }
    SimTime byteTime() const { return m_config.pacing ? m_config.byteTime : SimTime(0); }

    // The host writes bytes at time now.
    void hostWrite(const uint8_t *bytes, size_t count, SimTime now);
    void hostWrite(const Bytes &bytes, SimTime now) { hostWrite(bytes.data(), bytes.size(), now); }

    // When the next byte reaches the host, nullopt when none is on its way.
    std::optional<SimTime> nextByteTime() const;
    // Takes the bytes that have reached the host by now (at most max).
    size_t take(uint8_t *out, size_t max, SimTime now);
    Bytes takeAll(SimTime now);

    // Lets time pass to now for the devices (time-outs of partial messages).
    void advanceTo(SimTime now);
    // The earliest time at which something happens on the bus by itself:
    // a byte reaching the host or a device's time-out.
    SimTime nextEvent() const;

    void setObserver(std::function<void(const BusActivity &)> observer) { m_observer = std::move(observer); }

private:
    struct OnWire
    {
        SimTime start;      // start of the first byte
        Bytes bytes;
        size_t delivered = 0;
        bool fromHost = false;
        int device = -1;
        SimTime arrival(size_t index, SimTime byteTime) const
        {
            return start + byteTime * static_cast<long>(index + 1);
        }
    };

    void schedule(int deviceIndex, Transmission transmission);
    // The transmission whose next byte reaches the host first, kNone if none.
    size_t nextOnWire() const;
    static constexpr size_t kNone = static_cast<size_t>(-1);

    BusConfig m_config;
    std::vector<std::unique_ptr<Device>> m_devices;
    std::vector<SimTime> m_deviceLineFree;
    std::deque<OnWire> m_wire;
    SimTime m_hostLineFree{};
    std::function<void(const BusActivity &)> m_observer;
};

} // namespace ccsim
