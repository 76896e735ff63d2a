// The set-up file of `ravlin dump` and `ravlin apply`, and the command line.
//
// The input as a file: when it parses, the text formatSetup writes for the
// result parses back to the same settings, and reading with an error list
// gives the same settings and no error. When it does not parse, the failure
// is the usage error "FILE:LINE: reason". The input's lines as command-line
// words: parseArguments either accepts them, with every value in its range,
// or throws the usage error; nothing else.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "Arguments.h"
#include "CliError.h"
#include "SetupFile.h"

using namespace ravlin;

const char *const kFuzzTarget = "setup file";

namespace {

bool sameSetup(const Setup &a, const Setup &b)
{
    return a.masterInhibit == b.masterInhibit && a.inhibits == b.inhibits && a.sorter == b.sorter
           && a.coinId == b.coinId;
}

Setup parse(const std::string &text, std::vector<std::string> *errors = nullptr)
{
    std::istringstream in(text);
    return parseSetup(in, "fuzz.setup", errors);
}

void setupFile(const std::string &text)
{
    Setup setup;
    try {
        setup = parse(text);
    } catch (const CliError &error) {
        check(error.status() == kExitUsage, "a bad file is not a usage error");
        check(std::string(error.what()).rfind("fuzz.setup:", 0) == 0, "the error does not name the file and line");
        std::vector<std::string> errors;
        parse(text, &errors);
        check(!errors.empty(), "reading on found no bad line");
        return;
    }
    for (const auto &id : setup.coinId)
        check(!id || id->size() == 6, "a coin id of other than six bytes");

    std::vector<std::string> errors;
    check(sameSetup(parse(text, &errors), setup), "reading on gave other settings");
    check(errors.empty(), "reading on found a bad line in a good file");

    const std::string written = formatSetup(setup, {"set-up read back by the fuzz target"});
    Setup again;
    try {
        again = parse(written);
    } catch (const CliError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        check(false, "the written file does not parse");
    }
    check(sameSetup(again, setup), "the written file gives other settings");
    check(again.settingCount() == setup.settingCount(), "the written file counts other settings");
}

void commandLine(const std::string &text)
{
    std::vector<std::string> words;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    Arguments a;
    try {
        parseArguments(words, a);
    } catch (const CliError &error) {
        check(error.status() == kExitUsage, "a bad command line is not a usage error");
        return;
    }
    check(!a.portGiven || !a.port.empty(), "an empty port name accepted");
    check(!a.timeoutMs || (*a.timeoutMs >= 1 && *a.timeoutMs <= 600000), "a time-out out of range");
    check(!a.intervalMs || (*a.intervalMs >= 0 && *a.intervalMs <= 3600000), "an interval out of range");
    check(!a.count || *a.count >= 1, "a count below 1");
    check(!a.polls || *a.polls >= 1, "a poll count below 1");
    check(!a.seconds || (*a.seconds >= 0 && *a.seconds <= 1e7), "a duration out of range");
    check(!a.gapMs || (*a.gapMs >= 1 && *a.gapMs <= 10000), "a gap out of range");
    size_t taken = a.command.empty() ? 0 : 1;
    taken += a.positionals.size() + a.given.size();
    check(taken <= words.size(), "more arguments read than given");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    setupFile(text);
    commandLine(text);
    return 0;
}
