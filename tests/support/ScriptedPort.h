// A serial port double driven by a script: it records every write (its bytes,
// one entry per call) and every read (the size asked for), echoes written
// bytes back into its input like a single-wire bus (switchable), serves
// queued reply bytes, fails a chosen read or write, and refuses handles it
// did not open.
//
// Input is one byte queue, as on the line: the echo of each write is
// appended when it is written; a queued answer is appended when the host
// starts reading after a write (the device has heard the request and
// answers after its echo), one answer per request; fed bytes are appended
// at once. A read takes the oldest bytes. A read asking for more than the
// input holds takes what there is and fails, as a real port does when its
// time-out expires; bytes a read did not take stay for the next one.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <set>
#include <vector>

#include "PortBackend.h"

class ScriptedPort : public PortBackend
{
public:
    using Bytes = std::vector<uint8_t>;
    using Clock = std::chrono::steady_clock;

    // Opens port n and returns its handle (what ComInit would return).
    PortHandle openPort(uint8_t n = 1);

    // Whether written bytes come back as input (on at first).
    void setEcho(bool on) { m_echo = on; }
    // The device's answer to the next request not yet answered.
    void queue(const Bytes &bytes) { m_answers.push_back(bytes); }
    void queue(std::initializer_list<uint8_t> bytes) { queue(Bytes(bytes)); }
    // Bytes that are in the input now, ahead of anything written later.
    void feed(const Bytes &bytes);

    // The k-th read or write (counted from 1 over the whole record) fails:
    // it is recorded and returns false without moving any byte.
    void failRead(int k) { m_failingReads.insert(k); }
    void failWrite(int k) { m_failingWrites.insert(k); }

    // Forgets what was recorded, the input and the answers; failures to come
    // are dropped too. Open handles and the echo setting stay.
    void reset();

    const std::vector<Bytes> &writes() const { return m_writes; }
    const std::vector<Clock::time_point> &writeTimes() const { return m_writeTimes; }
    std::vector<int32_t> writeSizes() const;
    // Every written byte, in order.
    Bytes wire() const;
    const std::vector<int32_t> &reads() const { return m_reads; }
    const std::vector<Clock::time_point> &readTimes() const { return m_readTimes; }
    // Bytes still waiting in the input.
    size_t pending() const { return m_input.size(); }
    // Calls made with a handle this port did not open (or has closed).
    int refusedCalls() const { return m_refused; }

    // PortBackend
    bool portFree(uint8_t n) override;
    PortHandle open(uint8_t n, const int32_t settings[9]) override;
    bool close(PortHandle handle) override;
    bool send(PortHandle handle, const uint8_t *bytes, int32_t count) override;
    bool receive(PortHandle handle, uint8_t *buffer, int32_t count) override;
    int32_t receiveSome(PortHandle handle, uint8_t *buffer, int32_t count) override;
    bool isOpen(PortHandle handle) override;
    int32_t receiveUpTo(PortHandle handle, uint8_t *buffer, int32_t max) override;

private:
    bool accepts(PortHandle handle);
    int32_t take(uint8_t *buffer, int32_t count);
    void recordRead(int32_t count);

    bool m_echo = true;
    std::deque<uint8_t> m_input;
    std::deque<Bytes> m_answers;
    bool m_requestUnanswered = false;
    std::vector<Bytes> m_writes;
    std::vector<Clock::time_point> m_writeTimes;
    std::vector<int32_t> m_reads;
    std::vector<Clock::time_point> m_readTimes;
    std::set<int> m_failingReads;
    std::set<int> m_failingWrites;
    std::set<PortHandle> m_open;
    int m_refused = 0;
};
