#include "PortNaming.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string_view>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#ifdef __linux__
#  include <linux/serial.h>
#endif

namespace fs = std::filesystem;

namespace pontel {

namespace {

std::string mappedPath(uint8_t n)
{
    const std::string name = "PONTEL_COM" + std::to_string(n);
    const char *value = std::getenv(name.c_str());
    return value ? std::string(value) : std::string();
}

// Sorts names with a numeric suffix by that number (ttyUSB2 before ttyUSB10).
bool numericSuffixLess(const std::string &a, const std::string &b)
{
    auto split = [](const std::string &s) {
        size_t digits = s.size();
        while (digits > 0 && s[digits - 1] >= '0' && s[digits - 1] <= '9')
            --digits;
        const std::string stem = s.substr(0, digits);
        const std::string number = s.substr(digits);
        return std::make_pair(stem, number.empty() ? -1L : std::strtol(number.c_str(), nullptr, 10));
    };
    return split(a) < split(b);
}

// The entries of a directory whose name starts with prefix followed by a
// number, sorted by that number, as full paths.
std::vector<std::string> numberedDevices(const std::string &directory, std::string_view prefix)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0
            && std::all_of(name.begin() + long(prefix.size()), name.end(),
                           [](char c) { return c >= '0' && c <= '9'; }))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), numericSuffixLess);
    std::vector<std::string> paths;
    for (const std::string &name : names)
        paths.push_back(directory + "/" + name);
    return paths;
}

std::vector<std::string> sortedEntries(const std::string &directory)
{
    std::vector<std::string> paths;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error))
        paths.push_back(it->path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

// A ttyS device node exists for every UART slot the kernel reserves; only
// those with a UART behind them (type not PORT_UNKNOWN, 0) are real ports.
bool uartPresent(const std::string &devicePath, const std::string &sysRoot)
{
    const std::string name = fs::path(devicePath).filename().string();
    std::ifstream typeFile(sysRoot + "/class/tty/" + name + "/type");
    int type = 0;
    if (typeFile >> type)
        return type != 0;
#ifdef TIOCGSERIAL
    // No sysfs: ask the driver. Opening without waiting for the carrier.
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    serial_struct info{};
    const bool known = ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != 0;
    ::close(fd);
    return known;
#else
    return false;
#endif
}

} // namespace

std::string canonicalPath(const std::string &path)
{
    std::error_code error;
    const fs::path resolved = fs::canonical(path, error);
    return error ? path : resolved.string();
}

std::vector<std::string> detectedSerialDevices(const std::string &devRoot, const std::string &sysRoot)
{
    std::vector<std::string> devices;
    std::set<std::string> seen;
    auto add = [&](const std::string &path) {
        const std::string canonical = canonicalPath(path);
        if (seen.insert(canonical).second)
            devices.push_back(canonical);
    };

    for (const std::string &link : sortedEntries(devRoot + "/serial/by-path"))
        add(link);
    for (const char *prefix : {"ttyUSB", "ttyACM"})
        for (const std::string &path : numberedDevices(devRoot, prefix))
            add(path);
    for (const std::string &path : numberedDevices(devRoot, "ttyS"))
        if (uartPresent(path, sysRoot))
            add(path);
    for (const std::string &path : numberedDevices(devRoot, "ttyAMA"))
        add(path);
    return devices;
}

std::string portPath(uint8_t n, const std::function<std::string(uint8_t)> &variable,
                     const std::function<std::vector<std::string>()> &detected)
{
    if (n < kFirstPort || n > kLastPort)
        return {};
    const std::string mapped = variable(n);
    if (!mapped.empty())
        return mapped;

    // Automatic numbering: the ports without a variable take the devices no
    // variable names, in order.
    std::set<std::string> taken;
    size_t automaticIndex = 0;
    for (uint8_t port = kFirstPort; port <= kLastPort; ++port) {
        const std::string path = variable(port);
        if (!path.empty())
            taken.insert(canonicalPath(path));
        else if (port < n)
            ++automaticIndex;
    }
    std::vector<std::string> free;
    for (const std::string &device : detected())
        if (!taken.count(device))
            free.push_back(device);
    return automaticIndex < free.size() ? free[automaticIndex] : std::string();
}

std::string devicePathForPort(uint8_t n)
{
    return portPath(n, mappedPath, [] { return detectedSerialDevices(); });
}

} // namespace pontel
