// The subcommands: each has its name, its arguments, the options it takes,
// its help and examples, and the function that runs it. Each family of
// commands lists its own entries (IdentityCommands.cpp, ...); the table
// joins them in the order `ravlin --help` shows them.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "Arguments.h"
#include "DeviceLink.h"
#include "Json.h"
#include "PortSession.h"

namespace ravlin {

// Options beyond --port, --json and --help, which every command takes.
enum OptionFlags : unsigned {
    kAddress = 1u << 0,
    kTimeout = 1u << 1,
    kInterval = 1u << 2,
    kCount = 1u << 3,
    kFor = 1u << 4,
    kRange = 1u << 5,
    kGap = 1u << 6,
    kLatch = 1u << 7,
    kNoVerify = 1u << 8,
    kPolls = 1u << 9,
    kDevice = kAddress | kTimeout,
};

struct Command;

// What a running command works with.
class Context
{
public:
    Context(const Arguments &args, const Command &command, std::ostream &out, std::ostream &err);
    ~Context();

    const Arguments &args;
    const Command &command;
    std::ostream &out;
    std::ostream &err;

    // The port, opened on first use with the command's time-outs, or the
    // ones given.
    PortSession &port();
    PortSession &port(ReadTimeouts timeouts);
    int timeoutMs() const;
    // The device at --address on that port.
    DeviceLink &device();
    // "address 2 on Com1"
    std::string where();

    // The result: a short line for a person, or with --json one object
    // holding the command, the port, the address, "ok": true and the fields.
    void report(const std::string &line, JsonObject fields = {});
    // One line of a stream (watch, scan, monitor): the line, or the object
    // as it stands.
    void stream(const std::string &line, const JsonObject &object);

private:
    std::unique_ptr<PortSession> m_port;
    std::unique_ptr<DeviceLink> m_device;
};

using Handler = void (*)(Context &);

struct Command
{
    const char *name;
    const char *arguments;   // "CHANNEL PATH", "" when none
    int minArguments;
    int maxArguments;        // -1: no limit
    unsigned options;
    int timeoutMs;           // the default reply time-out
    const char *summary;     // one line
    const char *description; // a paragraph or two
    std::vector<const char *> examples;
    Handler run;
};

const std::vector<Command> &commandTable();
const Command *findCommand(const std::string &name);

// The families.
std::vector<Command> identityCommands();
std::vector<Command> ioCommands();
std::vector<Command> channelCommands();
std::vector<Command> rawCommands();
Command watchCommand();
Command scanCommand();
Command monitorCommand();
std::vector<Command> setupCommands(); // dump, apply

// Argument readers shared by the families.
uint8_t channelArgument(const std::string &text);
uint8_t byteArgument(const std::string &text, const std::string &what);
// Latin-1 device bytes as UTF-8 for the terminal.
std::string shownText(const std::string &deviceBytes);
std::string hex16(unsigned value);
// "1-4, 7, 9-16", or "none".
std::string channelList(uint16_t mask);
// A coin id typed by a person (UTF-8) as the six bytes the device stores;
// throws CliError (usage) when it is not six ISO 8859-1 characters.
std::string coinIdArgument(const std::string &text);

} // namespace ravlin
