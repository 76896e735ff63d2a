// `ccsim --tap PATH`: a second pseudo-terminal, linked at PATH, that carries
// a copy of every byte the host's receiver hears (the echo of its own bytes
// and the devices' answers), at the time it hears it. A listener (a bus
// monitor) reads it as it would read a second adapter wired to the line.
// What a listener writes to it goes nowhere. When nobody reads it the copy
// is dropped rather than held up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "PseudoTerminal.h"

namespace ccsim {

class BusTap
{
public:
    explicit BusTap(const std::string &linkPath);
    void copy(const uint8_t *bytes, size_t count);
    const std::string &path() const { return m_terminal.slavePath(); }

private:
    PseudoTerminal m_terminal;
    TerminalLink m_link;
};

// Takes "--tap PATH" out of the arguments; the path, empty when not given.
// Throws OptionError when PATH is missing.
std::string takeTapOption(std::vector<std::string> &arguments);

} // namespace ccsim
