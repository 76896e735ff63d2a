// Line settings of a COM port: speed and character format, in a DCB.
#pragma once

#include <cstdint>

#include "PortSettings.h"

#include "Win32.h"

namespace pontel {

// Whether the settings name a speed and a character format the POSIX
// backend also accepts: the same rates (the termios ones, 50 to 4000000),
// 5 to 8 data bits, the five parities, 1 or 2 stop bits.
bool lineSettingsValid(const LineSettings &settings);

// Sets the line fields of a DCB read from the port: the settings, binary
// mode, no parity check on input, no flow control of any kind (CTS, DSR,
// XON/XOFF), DTR and RTS on and left alone, no byte replaced or dropped
// (null bytes included), no abort on line errors. False when the settings
// are invalid.
bool makeDcb(const LineSettings &settings, DCB &dcb);

// Applies the settings to the open port (GetCommState, makeDcb,
// SetCommState), then reads the speed back. False when the settings are
// invalid or the driver refuses them.
bool applyLineSettings(HANDLE device, const LineSettings &settings);

} // namespace pontel
