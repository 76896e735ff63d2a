// The names of the ccTalk headers, as ravlin and the window's failure
// reports show them.
#pragma once

#include <cstdint>
#include <string>

// "serial number", "simple poll", ...; "header 17" for one without a name.
std::string headerName(uint8_t header);
