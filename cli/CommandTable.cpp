#include "CommandTable.h"

#include <cstdio>
#include <ostream>

#include "CliError.h"
#include "IntegerText.h"

namespace ravlin {

Context::Context(const Arguments &a, const Command &c, std::ostream &o, std::ostream &e)
    : args(a), command(c), out(o), err(e)
{
}

Context::~Context() = default;

int Context::timeoutMs() const
{
    return args.timeoutMs.value_or(command.timeoutMs);
}

PortSession &Context::port()
{
    return port(replyTimeouts(timeoutMs()));
}

PortSession &Context::port(ReadTimeouts timeouts)
{
    if (!m_port)
        m_port = std::make_unique<PortSession>(args.port, timeouts);
    return *m_port;
}

DeviceLink &Context::device()
{
    if (!m_device)
        m_device = std::make_unique<DeviceLink>(port(), args.address);
    return *m_device;
}

std::string Context::where()
{
    return "address " + std::to_string(args.address) + " on " + port().shown();
}

void Context::report(const std::string &line, JsonObject fields)
{
    if (!args.json) {
        out << line << "\n" << std::flush;
        return;
    }
    JsonObject object;
    object.add("command", command.name).add("port", m_port ? m_port->shown() : args.port);
    if (command.options & kAddress)
        object.add("address", static_cast<int>(m_device ? m_device->address() : args.address));
    object.addBool("ok", true).append(fields);
    out << object.text() << "\n" << std::flush;
}

void Context::stream(const std::string &line, const JsonObject &object)
{
    if (!args.json) {
        out << line << "\n" << std::flush;
        return;
    }
    // Each line says what made it, as a one-shot command's object does.
    JsonObject named;
    named.add("command", command.name).add("port", m_port ? m_port->shown() : args.port).append(object);
    out << named.text() << "\n" << std::flush;
}

const std::vector<Command> &commandTable()
{
    static const std::vector<Command> table = [] {
        std::vector<Command> all;
        for (auto family : {identityCommands, ioCommands, channelCommands, rawCommands}) {
            std::vector<Command> part = family();
            all.insert(all.end(), part.begin(), part.end());
        }
        all.push_back(watchCommand());
        all.push_back(scanCommand());
        all.push_back(monitorCommand());
        std::vector<Command> setup = setupCommands();
        all.insert(all.end(), setup.begin(), setup.end());
        return all;
    }();
    return table;
}

const Command *findCommand(const std::string &name)
{
    for (const Command &command : commandTable())
        if (name == command.name)
            return &command;
    return nullptr;
}

uint8_t channelArgument(const std::string &text)
{
    return static_cast<uint8_t>(parseNumber(text, 1, 16, "the channel"));
}

uint8_t byteArgument(const std::string &text, const std::string &what)
{
    return static_cast<uint8_t>(parseNumber(text, 0, 255, what));
}

std::string shownText(const std::string &deviceBytes)
{
    return latin1ToUtf8(deviceBytes);
}

std::string hex16(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFF);
    return text;
}

std::string channelList(uint16_t mask)
{
    std::string list;
    for (int ch = 1; ch <= 16;) {
        if (!(mask & (1u << (ch - 1)))) {
            ++ch;
            continue;
        }
        int last = ch;
        while (last < 16 && (mask & (1u << last)))
            ++last;
        list += (list.empty() ? "" : ", ") + std::to_string(ch) + (last > ch ? "-" + std::to_string(last) : "");
        ch = last + 1;
    }
    return list.empty() ? "none" : list;
}

} // namespace ravlin
