// How a port is named by its device on this operating system, for --port
// and the PONTEL_COM<n> variables: a path such as /dev/ttyUSB0 on Linux, a
// port name such as COM12 (or \\.\COM12) on Windows. One file per system in
// platform/<os>/DevicePaths.cpp.
#pragma once

#include <string>

namespace ravlin {

// Whether text names a device (rather than Com1 to Com9 or nothing valid).
bool isDevicePath(const std::string &text);
// What --port accepts besides Com1 to Com9, for the usage message.
const char *devicePathKind();
// Why the named device cannot be opened, when that is known before trying
// (Linux: no such file); empty otherwise.
std::string missingDeviceReason(const std::string &path);
// Whether standard error is a terminal a person watches (for progress).
bool stderrIsTerminal();
// Sets an environment variable of this process (Pontel reads its mapping
// from there).
void setEnvironment(const std::string &name, const std::string &value);

} // namespace ravlin
