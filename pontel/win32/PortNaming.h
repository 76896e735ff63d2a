// Which device each port number 1 to 9 names: on Windows, port n is COMn,
// opened through its device name "\\.\COMn", as Windows numbers it (Device
// Manager, "Ports (COM & LPT)").
#pragma once

#include <cstdint>
#include <string>

namespace pontel {

constexpr uint8_t kFirstPort = 1;
constexpr uint8_t kLastPort = 9;

// "\\.\COMn", or an empty string when n is not 1 to 9.
std::string devicePathForPort(uint8_t n);

// Device names need no resolving: the name itself.
inline std::string canonicalPath(const std::string &path)
{
    return path;
}

} // namespace pontel
