// The in-process virtual validator behind the Pontel functions: the real
// libRavlin.so (through the interposer) or the window talks to the ccsim
// device model with no pseudo-terminal and no waiting. Time is virtual: a
// read that waits for a reply or times out moves the clock, never sleeps.
//
// Two lines give a test a working validator (a coin acceptor at address 2,
// reachable as Com1):
//
//     SimPort sim;
//     ScopedPortBackend installed(sim);
//
// After an address poll (header 253) the devices keep quiet for 1.2 s, as
// real ones do; a test that sends its next request right away calls
// passTime(1200ms) first, or sets the quiet time of the devices on the bus
// with setAddressPollQuiet().
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Bus.h"
#include "PortBackend.h"

class SimPort : public PortBackend
{
public:
    // A bus with the default device, port 1 free, pacing off.
    SimPort();
    // A bus with the devices given (none: an empty bus), port 1 free.
    explicit SimPort(std::vector<ccsim::DeviceConfig> devices, ccsim::BusConfig config = {});

    // Which port numbers PortComFree reports and ComInit opens.
    void setFreePorts(std::set<uint8_t> ports) { m_freePorts = std::move(ports); }
    // A port that is there but cannot be opened, and why (PontelOpenFailure).
    void setRefusedPort(uint8_t n, int32_t cause, std::string text) { m_refused[n] = {cause, std::move(text)}; }

    ccsim::Bus &bus() { return m_bus; }
    // The first device with this address; fails the test (throws) when none.
    ccsim::Device &device(uint8_t address = 2);
    ccsim::Device &addDevice(ccsim::DeviceConfig config) { return m_bus.addDevice(std::move(config)); }
    void setAddressPollQuiet(ccsim::SimTime quiet);

    // Virtual time.
    ccsim::SimTime now() const { return m_now; }
    void passTime(ccsim::SimTime duration);

    // What the host did, for the tests: one entry per send, the count of
    // every read (receive and receiveUpTo), all bytes written in order.
    const std::vector<std::vector<uint8_t>> &writes() const { return m_writes; }
    const std::vector<int32_t> &readSizes() const { return m_readSizes; }
    const std::vector<uint8_t> &hostBytes() const { return m_hostBytes; }
    void clearRecords();
    // Bytes that reached the host but have not been read yet.
    size_t pendingInput();

    // PortBackend.
    bool portFree(uint8_t n) override;
    PortHandle open(uint8_t n, const int32_t settings[9]) override;
    bool close(PortHandle handle) override;
    bool send(PortHandle handle, const uint8_t *bytes, int32_t count) override;
    bool receive(PortHandle handle, uint8_t *buffer, int32_t count) override;
    int32_t receiveSome(PortHandle handle, uint8_t *buffer, int32_t count) override;
    bool isOpen(PortHandle handle) override;
    int32_t receiveUpTo(PortHandle handle, uint8_t *buffer, int32_t max) override;
    int32_t openFailure(uint8_t n, std::string &text) override;

private:
    struct OpenPort
    {
        uint8_t number;
        ccsim::SimTime interval;
        ccsim::SimTime perByte;
        ccsim::SimTime constant;
    };

    // Reads up to count bytes under the port's time-outs; the number read.
    int32_t read(const OpenPort &port, uint8_t *buffer, int32_t count);
    void fetchArrived();

    ccsim::Bus m_bus;
    ccsim::SimTime m_now{};
    std::set<uint8_t> m_freePorts{1};
    std::map<uint8_t, std::pair<int32_t, std::string>> m_refused;
    std::map<PortHandle, OpenPort> m_open;
    PortHandle m_nextHandle = 100;
    std::vector<uint8_t> m_input; // reached the host, not read yet
    size_t m_inputRead = 0;
    std::vector<std::vector<uint8_t>> m_writes;
    std::vector<int32_t> m_readSizes;
    std::vector<uint8_t> m_hostBytes;
};
