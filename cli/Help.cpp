// `ravlin --help` (a manual page) and `ravlin help COMMAND`.
#include <iomanip>
#include <ostream>
#include <sstream>

#include "CommandTable.h"
#include "Run.h"

namespace ravlin {

namespace {

const char *const kGroups[][2] = {
    {"poll", "Identity, addressing and comms"},
    {"test-solenoid", "Inputs and outputs"},
    {"inhibits", "Channels, coins and events"},
    {"raw", "Any command"},
    {"watch", "The bus"},
    {"dump", "Set-up files"},
};

std::string synopsis(const Command &command)
{
    std::string text = command.name;
    if (*command.arguments)
        text += std::string(" ") + command.arguments;
    return text;
}

// Word-wraps a paragraph at 76 columns with an indent.
void paragraph(std::ostream &out, const std::string &text, int indent)
{
    std::string line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && static_cast<int>(line.size() + 1 + word.size()) + indent > 76) {
            out << std::string(indent, ' ') << line << "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    if (!line.empty())
        out << std::string(indent, ' ') << line << "\n";
}

} // namespace

void printUsage(std::ostream &out)
{
    out << "NAME\n"
           "    ravlin - talk to ccTalk coin validators from a shell\n\n"
           "SYNOPSIS\n"
           "    ravlin COMMAND [ARGUMENTS] [--port PORT] [--address N] [--timeout MS] [--json]\n"
           "    ravlin help COMMAND\n"
           "    ravlin --help\n\n"
           "DESCRIPTION\n";
    paragraph(out,
              "ravlin sends one ccTalk command to a device and prints the decoded reply: one short line, "
              "or one JSON object with --json. It uses the same protocol library (Ravlin) and serial "
              "layer (Pontel) as the Brevant window. It also follows the coin events of a device (watch), "
              "finds the devices on a bus (scan), decodes a line it only listens to (monitor), and saves "
              "and restores a device's coin set-up (dump, apply).",
              4);
    out << "\nOPTIONS\n"
           "    --port PORT, -p PORT\n"
           "        Com1 to Com9 (default Com1), or a device: a path such as /dev/ttyUSB0 on\n"
           "        Linux, a port name such as COM12 on Windows. Port numbers name devices as\n"
           "        Brevant's do (PONTEL_COM<n> first, then the serial devices found on Linux,\n"
           "        COMn on Windows); a device is mapped onto a free port number.\n"
           "    --address N, -a N\n"
           "        The device address, 0 to 255 (default 0: whichever device answers).\n"
           "    --timeout MS, -t MS\n"
           "        How long to wait for a reply, in milliseconds (default 500; 1200 for the\n"
           "        address poll and the bare answers of headers 250 to 253).\n"
           "    --json\n"
           "        One JSON object per result, on one line; failures too, with \"ok\": false.\n"
           "    --help, -h\n"
           "        This page; with a command, that command's page.\n"
           "    Numbers are decimal, or hexadecimal after 0x, x or $.\n\n"
           "COMMANDS\n";
    for (const Command &command : commandTable()) {
        for (const auto &group : kGroups)
            if (std::string(group[0]) == command.name)
                out << (std::string(group[0]) == "poll" ? "" : "\n") << "  " << group[1] << "\n";
        out << "    " << std::left << std::setw(26) << synopsis(command) << command.summary << "\n";
    }
    out << "\n    ravlin help COMMAND shows a command's options and examples.\n\n"
           "EXIT STATUS\n"
           "    0  success\n"
           "    1  the device failed: no echo, no reply, a bad reply, a refusal, a\n"
           "       reply that is not the one ccTalk defines for the request (its\n"
           "       length, source or header), or differences after apply; the line\n"
           "       is then let settle (1.5 s) so that a late reply is never taken\n"
           "       for the answer to the next request\n"
           "    2  bad arguments or an unreadable set-up file\n"
           "    3  the port cannot be opened\n"
           "    On failure one line goes to standard error:\n"
           "        ravlin: serial-number: no reply from address 2 on Com1 (timed out)\n\n"
           "ENVIRONMENT\n"
           "    PONTEL_COM1 .. PONTEL_COM9   the device of a port number: a path on Linux,\n"
           "                                 COM12 or \\\\.\\COM12 on Windows\n\n"
           "FILES\n";
    paragraph(out,
              "A set-up file (dump writes one, apply reads one) holds one setting a line, \"key = value\", "
              "with # starting a comment: master-inhibit = on|off; inhibits = MASK (bit k-1: channel k "
              "enabled); sorter N = PATH; coin-id N = ID (six characters, in double quotes when they "
              "hold a blank or #). Lines may be left out: apply writes only what the file names.",
              4);
    out << "\nEXAMPLES\n"
           "    ravlin serial-number --port Com1 --address 2\n"
           "    ravlin coin-id 5 --address 2 --json\n"
           "    ravlin set-coin-id 5 EU100A --address 2\n"
           "    ravlin watch --address 2 --interval 200\n"
           "    ravlin scan --port /dev/ttyUSB0 --range 2-10\n"
           "    ravlin dump --address 2 > validator.txt && ravlin apply validator.txt --address 2\n"
           "    ravlin monitor --port /dev/ttyUSB1\n";
}

void printCommandHelp(std::ostream &out, const Command &command)
{
    out << "ravlin " << synopsis(command) << "\n    " << command.summary << "\n";
    if (*command.description) {
        out << "\n";
        paragraph(out, command.description, 4);
    }
    std::ostringstream options;
    options << "Options: --port PORT";
    if (command.options & kAddress)
        options << ", --address N";
    if (command.options & kTimeout)
        options << ", --timeout MS (default " << command.timeoutMs << ")";
    if (command.options & kInterval)
        options << ", --interval MS";
    if (command.options & kCount)
        options << ", --count N";
    if (command.options & kPolls)
        options << ", --polls N";
    if (command.options & kFor)
        options << ", --for SECONDS";
    if (command.options & kRange)
        options << ", --range A-B";
    if (command.options & kGap)
        options << ", --gap MS";
    if (command.options & kLatch)
        options << ", --latch";
    if (command.options & kNoVerify)
        options << ", --no-verify";
    options << ", --json";
    out << "\n";
    paragraph(out, options.str(), 0);
    out << "\nExamples:\n";
    for (const char *example : command.examples)
        out << "    " << example << "\n";
}

} // namespace ravlin
