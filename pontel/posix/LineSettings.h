// Line settings of a port: speed, character format, raw mode.
#pragma once

#include <cstdint>

#include <termios.h>

#include "PortSettings.h"

namespace pontel {

// Whether the settings name a speed and a character format the line supports.
bool lineSettingsValid(const LineSettings &settings);

// Turns terminal attributes into raw mode with the given settings; false
// when the settings are invalid.
bool makeRawAttributes(const LineSettings &settings, termios &tio);

// Puts the open terminal fd in raw mode with the given settings: no echo, no
// translation, no flow control, modem lines ignored (CLOCAL), receiver on,
// reads returning at once (VMIN = VTIME = 0). False when the settings are
// invalid or the device refuses them.
bool applyLineSettings(int fd, const LineSettings &settings);

} // namespace pontel
