// The names of the ccTalk headers, as the raw command and the monitor show
// them.
#pragma once

#include <cstdint>
#include <string>

namespace ravlin {

// "serial number", "simple poll", ...; "header 17" for one without a name.
std::string headerName(uint8_t header);

} // namespace ravlin
