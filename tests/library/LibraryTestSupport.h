// Shared pieces of the library tests: a fixture with a scripted port behind
// the interposed serial layer, builders of ccTalk messages (with their own
// checksum code, independent of the library's), and result formatting.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "CCTalkComDeclar.h"
#include "ScriptedPort.h"

using Bytes = std::vector<uint8_t>;

inline uint8_t checksumOf(const Bytes &bytes)
{
    unsigned sum = 0;
    for (uint8_t b : bytes)
        sum += b;
    return static_cast<uint8_t>((256 - sum % 256) % 256);
}

// A whole message: head, data, checksum.
inline Bytes message(uint8_t destination, uint8_t source, uint8_t header, const Bytes &data = {})
{
    // Byte by byte: GCC 12 at -O3 warns wrongly about inserting a range
    // behind an initializer list.
    Bytes m;
    m.reserve(data.size() + 5);
    for (uint8_t b : {destination, static_cast<uint8_t>(data.size()), source, header})
        m.push_back(b);
    for (uint8_t b : data)
        m.push_back(b);
    m.push_back(checksumOf(m));
    return m;
}

// A reply to the host (header 0) from source: an acknowledgement when
// data is empty.
inline Bytes reply(uint8_t source, const Bytes &data = {})
{
    return message(1, source, 0, data);
}

inline Bytes textReply(uint8_t source, const std::string &text, uint8_t header = 0)
{
    return message(1, source, header, Bytes(text.begin(), text.end()));
}

// An echo followed by a reply, as one answer of a port whose echo is off.
inline Bytes joined(Bytes first, const Bytes &second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// The same message with a wrong checksum.
inline Bytes corrupted(Bytes m)
{
    m.back() = static_cast<uint8_t>(m.back() + 1);
    return m;
}

// The writes of a request from the host: head, data (when any), checksum.
inline std::vector<Bytes> request(uint8_t destination, uint8_t header, const Bytes &data = {})
{
    const Bytes m = message(destination, 1, header, data);
    std::vector<Bytes> writes{Bytes(m.begin(), m.begin() + 4)};
    if (!data.empty())
        writes.push_back(data);
    writes.push_back(Bytes{m.back()});
    return writes;
}

inline std::string textOf(const CountedString &s)
{
    return std::string(reinterpret_cast<const char *>(s.bytes + 1), s.bytes[0]);
}

// A CountedString full of junk, so that a test sees what the library wrote.
inline CountedString junkText()
{
    CountedString s;
    for (auto &b : s.bytes)
        b = 'z';
    s.bytes[0] = 99;
    return s;
}

// Values joined by spaces, bytes as numbers: "1 9", "0 1900 1 1".
inline void appendValues(std::ostringstream &) {}

template <typename First, typename... Rest>
void appendValues(std::ostringstream &out, const First &first, const Rest &...rest)
{
    if (out.tellp() > 0)
        out << ' ';
    if constexpr (sizeof(First) == 1 && std::is_integral_v<First>)
        out << static_cast<int>(first);
    else
        out << first;
    appendValues(out, rest...);
}

template <typename... Values>
std::string values(const Values &...v)
{
    std::ostringstream out;
    appendValues(out, v...);
    return out.str();
}

inline std::string bytesText(const uint8_t *bytes, size_t n)
{
    std::ostringstream out;
    for (size_t i = 0; i < n; ++i)
        out << (i ? " " : "") << static_cast<int>(bytes[i]);
    return out.str();
}

class LibraryTest : public testing::Test
{
protected:
    ScriptedPort m_port;
    ScopedPortBackend m_scope{m_port};
    PortHandle m_handle = m_port.openPort(1);
};
