// The ports of the Windows suite under Wine, as run-under-wine.sh serves
// them, and the control of their ccsim. The programs of the suite run only
// through that script: it checks, before they can write anything, that
// COM1 to COM9 are its own links to its own ccsim terminals, never a real
// serial port of the machine.
#pragma once

#include <cstdint>
#include <string>

namespace wineports {

constexpr uint8_t kLine = 1;          // ccsim, bytes paced at 9600 baud
constexpr uint8_t kFast = 2;          // ccsim --no-pacing --late-delay 600
constexpr uint8_t kSilent = 3;        // ccsim --no-pacing --fault silence
constexpr uint8_t kSlowReply = 4;     // ccsim --no-pacing --reply-delay 300
constexpr uint8_t kBadBaseYear = 5;   // ccsim --no-pacing --base-year 20x0
constexpr uint8_t kTwoDevices = 6;    // ccsim --no-pacing, devices 2 and 3, quiet 300 ms
constexpr uint8_t kRegularFile = 7;   // a regular file
constexpr uint8_t kMissing = 8;       // nothing: the link points nowhere
constexpr uint8_t kSpare = 9;         // as COM2, for tests that change a device for good

// Sends one control command to the ccsim of port n and returns the line it
// answers (empty when none came within 5 s). For the commands that answer
// with one line (coin, error, inputs, optos, inhibit, fault, pacing).
std::string control(uint8_t n, const std::string &command);

// Everything the ccsim of port n has printed so far (its terminal's path
// first), for the commands whose answer has several lines (state).
std::string output(uint8_t n);

// Sends a control command that answers nothing (quit), without waiting.
void tell(uint8_t n, const std::string &command);

// The folder of the port links as a Windows path (Z:\...\ports\).
std::string portsFolder();

// Whether run-under-wine.sh has checked the port mapping and started the
// program (CCBENCH_WINE_PORTS is set); says what to do on stderr when not.
// Every program of the suite refuses to run otherwise.
bool portsChecked();

// Whether the program runs under Wine (ntdll has wine_get_version).
bool underWine();

} // namespace wineports
