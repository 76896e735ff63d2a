#include "OpenFailures.h"

#include <map>
#include <mutex>

namespace pontel {

namespace {
std::mutex g_mutex;
std::map<uint8_t, OpenFailure> g_failures;
} // namespace

void recordOpenFailure(uint8_t n, const OpenFailure &failure)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_failures[n] = failure;
}

OpenFailure noDeviceCause(uint8_t n)
{
    return {PONTEL_OPEN_NO_DEVICE, "no serial device has the number " + std::to_string(n)
                                       + " (is the adapter plugged in? PONTEL_COM" + std::to_string(n)
                                       + " names the device of a number)"};
}

OpenFailure openHereCause(const std::string &path)
{
    return {PONTEL_OPEN_IN_USE, path + " is already open in this program"};
}

OpenFailure unsupportedSettingsCause()
{
    return {PONTEL_OPEN_SETTINGS_REFUSED, "line settings or time-outs that the port does not support"};
}

OpenFailure openFailureOf(uint8_t n)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const auto it = g_failures.find(n);
    return it == g_failures.end() ? OpenFailure{} : it->second;
}

} // namespace pontel
