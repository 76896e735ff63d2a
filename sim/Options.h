// The command line of the ccsim program.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Bus.h"
#include "DeviceConfig.h"

namespace ccsim {

struct ProgramOptions
{
    std::vector<DeviceConfig> devices; // at least one
    BusConfig bus{true, kByteTime9600};
    std::string linkPath;          // empty: no link
    bool trace = false;
    double coinEverySeconds = 0;   // 0: no periodic coins
    bool help = false;
};

class OptionError : public std::exception
{
public:
    explicit OptionError(std::string message) : m_message(std::move(message)) {}
    const char *what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

// Throws OptionError with a one-line explanation.
ProgramOptions parseOptions(const std::vector<std::string> &arguments);

const char *usageText();

// Number parsing shared with the control commands: decimal, or hexadecimal
// after 0x. Throws OptionError naming `what` when the text is not a number
// in [min, max].
long parseNumber(const std::string &text, long min, long max, const std::string &what);

} // namespace ccsim
