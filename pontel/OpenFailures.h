// Why each port number last could not be opened, as ComInit and PortComFree
// found it, for callers to tell the user the cause and what to do about it.
#pragma once

#include <cstdint>
#include <string>

#include "PontelDeclar.h"

namespace pontel {

struct OpenFailure
{
    int32_t cause = PONTEL_OPEN_OK;
    std::string text; // one line: the cause, and what to do
};

void recordOpenFailure(uint8_t n, const OpenFailure &failure);

// The causes that read the same on every system.
OpenFailure noDeviceCause(uint8_t n);              // no device has the number
OpenFailure openHereCause(const std::string &path); // this program has it open
OpenFailure unsupportedSettingsCause();
OpenFailure openFailureOf(uint8_t n);

} // namespace pontel
