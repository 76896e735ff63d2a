// Which device each port number 1 to 9 names.
//
// PONTEL_COM<n>, when set and not empty, gives the path of port n. The ports
// left without such a variable take, in increasing order, the serial devices
// found on the machine, in this order:
//   1. the links of /dev/serial/by-path, sorted by name (USB adapters, ACM
//      devices and other hot-plugged ports, by the socket they sit in);
//   2. /dev/ttyUSB* then /dev/ttyACM* that step 1 did not name, by number;
//   3. built-in UARTs that really exist: /dev/ttyS* whose UART type is known,
//      then /dev/ttyAMA*, by number.
// A device that a PONTEL_COM<n> variable already names is not numbered again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pontel {

constexpr uint8_t kFirstPort = 1;
constexpr uint8_t kLastPort = 9;

// The device path of port n, or an empty string when port n names nothing.
std::string devicePathForPort(uint8_t n);

// The serial devices found on the machine, in the numbering order above,
// each by its canonical path. The roots are those of the device and sysfs
// trees ("/dev", "/sys").
std::vector<std::string> detectedSerialDevices(const std::string &devRoot = "/dev",
                                               const std::string &sysRoot = "/sys");

// The numbering rule itself: the path of port n given the variable of each
// port (empty: none) and the devices found (asked for only when needed).
std::string portPath(uint8_t n, const std::function<std::string(uint8_t)> &variable,
                     const std::function<std::vector<std::string>()> &detected);

// The canonical form of a path (symbolic links resolved), or the path itself
// when it does not resolve.
std::string canonicalPath(const std::string &path);

} // namespace pontel
