// The set-up file of `ravlin dump` and `ravlin apply`: one setting a line,
// "key = value", "#" to the end of the line a comment.
//
//     master-inhibit = off
//     inhibits = 0xFFFF
//     sorter 3 = 1
//     coin-id 3 = EU005A
//
// Every key is optional: apply writes what the file names.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace ravlin {

struct Setup
{
    std::optional<bool> masterInhibit;  // true: all coins refused
    std::optional<uint16_t> inhibits;   // bit k-1: channel k enabled
    std::array<std::optional<uint8_t>, 16> sorter;
    std::array<std::optional<std::string>, 16> coinId; // six ISO 8859-1 bytes

    size_t settingCount() const;
};

// Throws CliError (usage) "FILE:LINE: reason" on the first bad line; with
// `errors`, collects every bad line's reason there instead and reads on.
Setup parseSetup(std::istream &in, const std::string &fileName, std::vector<std::string> *errors = nullptr);

// The file text; `comments` go first, each as a "# " line.
std::string formatSetup(const Setup &setup, const std::vector<std::string> &comments);

// One line's value as the file writes it ("on", "0x00FF", "\"EU 10A\"").
std::string coinIdValue(const std::string &bytes);

// The settings that differ, as "key: wanted X, device has Y" lines.
struct Difference
{
    std::string key, wanted, found;
};
std::vector<Difference> compareSetup(const Setup &wanted, const Setup &found);

} // namespace ravlin
