#include "BusTap.h"

#include <unistd.h>

#include "Options.h"

namespace ccsim {

BusTap::BusTap(const std::string &linkPath) : m_link(linkPath, m_terminal.slavePath()) {}

void BusTap::copy(const uint8_t *bytes, size_t count)
{
    // The master side is non-blocking: a full terminal loses the copy.
    if (write(m_terminal.masterFd(), bytes, count) < 0) {
    }
    // Whatever a listener wrote is read and dropped, so that it never fills up.
    uint8_t ignored[256];
    while (read(m_terminal.masterFd(), ignored, sizeof ignored) > 0) {
    }
}

std::string takeTapOption(std::vector<std::string> &arguments)
{
    std::string path;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != "--tap")
            continue;
        if (i + 1 >= arguments.size())
            throw OptionError("--tap needs a path for the link");
        path = arguments[i + 1];
        arguments.erase(arguments.begin() + static_cast<long>(i), arguments.begin() + static_cast<long>(i) + 2);
        --i;
    }
    return path;
}

} // namespace ccsim
