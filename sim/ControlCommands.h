// The live control of the ccsim program: one command a line on standard
// input (insert a coin, raise an error event, set inputs or optos, switch a
// fault or the pacing, print the state).
#pragma once

#include <string>

#include "Bus.h"

namespace ccsim {

class ControlCommands
{
public:
    explicit ControlCommands(Bus &bus) : m_bus(bus) {}

    struct Result
    {
        std::string output; // what to print, several lines perhaps, may be empty
        bool quit = false;
    };

    Result execute(const std::string &line);

    static std::string helpText();
    static std::string describe(const Device &device);

private:
    Bus &m_bus;
};

} // namespace ccsim
