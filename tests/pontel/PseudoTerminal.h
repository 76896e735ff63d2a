// A pseudo-terminal pair for the serial layer's tests: the device side is
// opened through Pontel by its path, the test drives the other side.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // The device path of the port side (/dev/pts/N).
    const std::string &path() const { return m_path; }
    // The test's side.
    int peer() const { return m_peer; }

    // Writes bytes from the peer side to the port.
    void send(const std::vector<uint8_t> &bytes);
    // Reads from the peer side until count bytes arrived or the wait ended.
    std::vector<uint8_t> receive(size_t count, std::chrono::milliseconds wait);
    // Closes the peer side: the port side sees a hang-up.
    void hangUp();

private:
    int m_peer = -1;
    std::string m_path;
};

// Sets an environment variable for the lifetime of a scope (empty value:
// unset), restoring the earlier value afterwards.
class ScopedEnvironment
{
public:
    ScopedEnvironment(std::string name, const std::string &value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

private:
    std::string m_name;
    bool m_hadValue = false;
    std::string m_oldValue;
};

// The line settings the bench uses, with the time-outs of a test.
struct Timeouts
{
    int32_t readInterval = 0;
    int32_t readPerByte = 0;
    int32_t readConstant = 0;
    int32_t writePerByte = 0;
    int32_t writeConstant = 0;
};
int32_t openPort(uint8_t n, const Timeouts &timeouts);

// Whether the terminal at path is in exclusive mode: a non-root open is then
// refused, root may ask.
bool exclusiveMode(const std::string &path);

// Milliseconds elapsed since start.
long long millisecondsSince(std::chrono::steady_clock::time_point start);
