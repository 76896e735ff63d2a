#include "PortNaming.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace pontel {

namespace {

const std::string kDevicePrefix = "\\\\.\\";

// "COM" and a port number from 1 to 255, in any case.
bool isComName(const std::string &name)
{
    if (name.size() < 4 || name.size() > 6)
        return false;
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    if (upper.compare(0, 3, "COM") != 0 || upper[3] == '0')
        return false;
    if (!std::all_of(upper.begin() + 3, upper.end(), [](unsigned char c) { return std::isdigit(c); }))
        return false;
    return std::atoi(upper.c_str() + 3) <= 255;
}

} // namespace

std::string deviceNameFor(const std::string &value)
{
    std::string name = value;
    if (name.compare(0, kDevicePrefix.size(), kDevicePrefix) == 0)
        name.erase(0, kDevicePrefix.size());
    if (!isComName(name))
        return value;
    return kDevicePrefix + "COM" + name.substr(3);
}

std::string devicePathForPort(uint8_t n)
{
    if (n < kFirstPort || n > kLastPort)
        return {};
    const std::string variable = "PONTEL_COM" + std::to_string(n);
    const char *value = std::getenv(variable.c_str());
    if (value && *value)
        return deviceNameFor(value);
    return kDevicePrefix + "COM" + std::to_string(n);
}

} // namespace pontel
