// The words for a device that cannot be opened, with what the system can
// tell about it: the group whose members may open it, the program that holds
// it.
#pragma once

#include <string>

#include "OpenFailures.h"

namespace pontel {

// From the errno of a failed open().
OpenFailure openErrorCause(int error, const std::string &path);
// Locked or in exclusive mode by another open of it.
OpenFailure heldCause(const std::string &path);
OpenFailure notSerialCause(const std::string &path);
OpenFailure settingsCause(const std::string &path);

} // namespace pontel
