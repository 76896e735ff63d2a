// The whole tool as a function: the words after the program name in, the
// exit status out. main() calls it; the tests call it in process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ravlin {

int runRavlin(const std::vector<std::string> &words, std::ostream &out, std::ostream &err);

// The help texts (Help.cpp).
void printUsage(std::ostream &out);
void printCommandHelp(std::ostream &out, const struct Command &command);

} // namespace ravlin
