// Which device each port number 1 to 9 names on Windows.
//
// PONTEL_COM<n>, when set and not empty, names the device of port n: "COM12"
// or "\\.\COM12" (any COM number, in any case: USB adapters are often COM10
// and up), or any other device name, used as it is. Without it port n is
// COMn as Windows numbers it (Device Manager, "Ports (COM & LPT)"). Ports
// are opened through their device names ("\\.\COMn"), the only form that
// reaches COM10 and above.
#pragma once

#include <cstdint>
#include <string>

namespace pontel {

constexpr uint8_t kFirstPort = 1;
constexpr uint8_t kLastPort = 9;

// The device name of port n, or an empty string when n is not 1 to 9.
std::string devicePathForPort(uint8_t n);

// The device name that opens what a PONTEL_COM<n> value names: "\\.\COMk"
// for "COMk" or "\\.\COMk" in any case, the value itself otherwise.
std::string deviceNameFor(const std::string &value);

// Device names are already in one form (deviceNameFor): the name itself.
inline std::string canonicalPath(const std::string &path)
{
    return path;
}

} // namespace pontel
