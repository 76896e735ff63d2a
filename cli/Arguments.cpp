#include "Arguments.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "CliError.h"
#include "IntegerText.h"

namespace ravlin {

long parseNumber(const std::string &text, long min, long max, const std::string &what)
{
    int32_t value = 0;
    if (!tryReadInteger(text, value))
        throw usageError(what + " must be a number, not '" + text + "'");
    if (value < min || value > max)
        throw usageError(what + " must be " + std::to_string(min) + " to " + std::to_string(max) + ", not "
                         + text);
    return value;
}

namespace {

double parseSeconds(const std::string &text, const std::string &what)
{
    char *end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value) || value < 0 || value > 1e7)
        throw usageError(what + " must be a number of seconds, not '" + text + "'");
    return value;
}

} // namespace

void parseArguments(const std::vector<std::string> &words, Arguments &a)
{
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        const bool isOption = !optionsEnded && word.size() > 1 && word[0] == '-' && !std::isdigit(static_cast<unsigned char>(word[1]));
        if (!isOption) {
            if (a.command.empty())
                a.command = word;
            else
                a.positionals.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        std::string value;
        bool inlineValue = false;
        const size_t equals = word.find('=');
        if (word.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = word.substr(equals + 1);
            word = word.substr(0, equals);
            inlineValue = true;
        }
        auto takeValue = [&]() -> std::string {
            if (inlineValue)
                return value;
            if (i + 1 >= words.size())
                throw usageError("option " + word + " needs a value");
            return words[++i];
        };
        auto noValue = [&]() {
            if (inlineValue)
                throw usageError("option " + word + " takes no value");
        };
        if (word == "-p")
            word = "--port";
        else if (word == "-a")
            word = "--address";
        else if (word == "-t")
            word = "--timeout";
        else if (word == "-n")
            word = "--count";
        else if (word == "-h")
            word = "--help";
        if (word == "--port") {
            a.port = takeValue();
            a.portGiven = true;
            if (a.port.empty())
                throw usageError("--port needs a port name (Com1 to Com9) or a device path");
        } else if (word == "--address") {
            a.address = static_cast<uint8_t>(parseNumber(takeValue(), 0, 255, "--address"));
            a.addressGiven = true;
        } else if (word == "--timeout") {
            a.timeoutMs = static_cast<int>(parseNumber(takeValue(), 1, 600000, "--timeout (milliseconds)"));
        } else if (word == "--json") {
            noValue();
            a.json = true;
        } else if (word == "--help") {
            noValue();
            a.help = true;
        } else if (word == "--version") {
            noValue();
            a.version = true;
        } else if (word == "--interval") {
            a.intervalMs = static_cast<int>(parseNumber(takeValue(), 0, 3600000, "--interval (milliseconds)"));
        } else if (word == "--count" || word == "-n") {
            a.count = parseNumber(takeValue(), 1, 2147483647, "--count");
        } else if (word == "--polls") {
            a.polls = parseNumber(takeValue(), 1, 2147483647, "--polls");
        } else if (word == "--for") {
            a.seconds = parseSeconds(takeValue(), "--for");
        } else if (word == "--range") {
            a.range = takeValue();
        } else if (word == "--gap") {
            a.gapMs = static_cast<int>(parseNumber(takeValue(), 1, 10000, "--gap (milliseconds)"));
        } else if (word == "--latch") {
            noValue();
            a.latch = true;
        } else if (word == "--no-verify") {
            noValue();
            a.noVerify = true;
        } else {
            throw usageError("unknown option " + word + " (ravlin --help lists them)");
        }
        a.given.push_back(word);
    }
}

} // namespace ravlin
