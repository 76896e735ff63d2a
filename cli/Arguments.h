// The command line: the subcommand, its positional arguments and the options,
// which may stand before or after the subcommand.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ravlin {

struct Arguments
{
    std::string command;                 // empty: none given
    std::vector<std::string> positionals; // after the command
    std::string port = "Com1";
    bool portGiven = false;
    uint8_t address = 0;
    bool addressGiven = false;
    std::optional<int> timeoutMs;
    bool json = false;
    bool help = false;
    bool version = false;
    // Options of some commands only; which ones a command takes is in its
    // entry of the command table.
    std::optional<int> intervalMs;  // watch
    std::optional<long> count;      // watch: events, monitor: frames; stop after so many
    std::optional<long> polls;      // watch: stop after so many polls
    std::optional<double> seconds;  // watch, monitor: stop after so long
    std::optional<std::string> range; // scan
    std::optional<int> gapMs;       // monitor
    bool latch = false;             // test-output
    bool noVerify = false;          // apply
    std::vector<std::string> given; // the options used, by name, for checks
};

// Throws CliError (usage) for an unknown option or a missing or bad value.
// What was read before a bad word stays in `a` (the command's name for the
// message).
void parseArguments(const std::vector<std::string> &words, Arguments &a);

// A whole number read with the project's integer reader (decimal, or hex
// after "$", "x" or "0x"), in [min, max]. `what` names it in the message:
// "channel must be 1 to 16, not 17".
long parseNumber(const std::string &text, long min, long max, const std::string &what);

} // namespace ravlin
