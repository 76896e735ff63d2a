// One ccTalk slave: a coin acceptor with its identity, its channels, its
// event buffer, its I/O lines and its comms counters. It is fed the bytes the
// host puts on the bus and tells the bus what to transmit in return.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>

#include "DeviceConfig.h"
#include "Frame.h"
#include "FrameReceiver.h"

namespace ccsim {

// Bytes a device puts on the line, the first one starting at `start`.
struct Transmission
{
    SimTime start{};
    Bytes bytes;
    bool bare = false; // an address poll answer, not a framed message
};

struct EventBuffer
{
    uint8_t counter = 0;                   // 0 after power-up, then 1..255, 1..255, ...
    std::array<uint8_t, 10> results{};     // five (A, B) pairs, newest first
};

// Error codes put in the event buffer as (0, code).
namespace eventCode {
constexpr uint8_t RejectCoin = 1;
constexpr uint8_t InhibitedCoin = 2;
} // namespace eventCode

class Device
{
public:
    explicit Device(DeviceConfig config = {});

    uint8_t address() const { return m_config.address; }
    const DeviceConfig &config() const { return m_config; }
    // The stored settings and identity; changes take effect at once.
    DeviceConfig &config() { return m_config; }

    // One byte from the host, arrived at time t. Returns what the device
    // answers when the byte completes a request addressed to it.
    std::optional<Transmission> receive(uint8_t byte, SimTime t);
    // Host bytes that never reached the device (the line could not carry
    // them): counted as ignored bytes.
    void missBytes(unsigned count) { m_receiver.ignore(count); }
    // Lets time pass (drops a partial message after the inter-byte time-out).
    void expire(SimTime t) { m_receiver.expire(t); }
    // The next time expire() would change something, kForever if none.
    SimTime nextTimer() const { return m_receiver.deadline(); }

    // Power-up state: volatile settings back to their defaults, event
    // counter 0, comms counters cleared. Address, coin ids and sorter paths
    // are kept, as in non-volatile memory.
    void powerUp();

    Fault fault() const { return m_config.fault; }
    void setFault(Fault fault) { m_config.fault = fault; }

    // A coin on channel 1..16. Credited (and true) when the channel is enabled
    // and the master inhibit allows it; otherwise an "inhibited coin" error
    // event is logged. False also for a channel out of range (nothing logged).
    bool insertCoin(int channel);
    // Logs the error event (0, code).
    void raiseError(uint8_t code);

    const EventBuffer &events() const { return m_events; }
    uint16_t enabledChannels() const { return m_enabledChannels; }
    void setEnabledChannels(uint16_t mask) { m_enabledChannels = mask; }
    bool masterInhibit() const { return m_masterInhibit; }
    void setMasterInhibit(bool inhibited) { m_masterInhibit = inhibited; }
    uint8_t inputLines() const { return m_config.inputLines; }
    void setInputLines(uint8_t lines) { m_config.inputLines = lines; }
    uint8_t optoStates() const { return m_config.optoStates; }
    void setOptoStates(uint8_t optos) { m_config.optoStates = optos; }
    uint8_t latchedOutputs() const { return m_latchedOutputs; }
    uint8_t lastOutputTest() const { return m_lastOutputTest; }
    uint8_t lastSolenoidTest() const { return m_lastSolenoidTest; }
    const CommsCounters &commsCounters() const { return m_receiver.counters(); }
    // Requests answered (or refused) since power-up.
    unsigned requestsHandled() const { return m_requestsHandled; }
    unsigned resets() const { return m_resets; }
    // Until when the device ignores the bus after an address poll.
    SimTime quietUntil() const { return m_quietUntil; }

private:
    struct Answer
    {
        enum Kind { None, Framed, Bare } kind = None;
        uint8_t header = header::Reply;
        Bytes data;
        SimTime delay{};
        uint8_t source = 0;
    };

    std::optional<Transmission> handleMessage(const Bytes &message, SimTime t);
    Answer execute(const Frame &request, SimTime t);
    Answer ack() const;
    Answer reply(Bytes data) const;
    Answer text(const std::string &value) const;
    Answer nak() const;
    void logEvent(uint8_t a, uint8_t b);
    uint8_t randomAddress();

    DeviceConfig m_config;
    FrameReceiver m_receiver;
    std::mt19937 m_random;

    // Volatile state.
    EventBuffer m_events;
    uint16_t m_enabledChannels = 0;
    bool m_masterInhibit = false;
    uint8_t m_latchedOutputs = 0;
    uint8_t m_lastOutputTest = 0;
    uint8_t m_lastSolenoidTest = 0;
    SimTime m_quietUntil{};
    bool m_quietSet = false;
    unsigned m_requestsHandled = 0;
    unsigned m_resets = 0;
};

} // namespace ccsim
