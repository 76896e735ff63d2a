#include "ControlCommands.h"

#include <cstdio>
#include <sstream>
#include <vector>

#include "Options.h"

namespace ccsim {

std::string ControlCommands::helpText()
{
    return "commands (ADDR: the device, the first one when left out):\n"
           "  coin CH [ADDR]         insert a coin on channel CH (1 to 16)\n"
           "  error CODE [ADDR]      log the error event (0, CODE)\n"
           "  inputs MASK [ADDR]     set the input lines\n"
           "  optos MASK [ADDR]      set the opto states\n"
           "  inhibit on|off [ADDR]  switch the master inhibit\n"
           "  fault NAME [ADDR]      none, silence, checksum, nak, busy, late, truncated,\n"
           "                         garbage, no-echo\n"
           "  pacing on|off          line pacing at 9600 baud\n"
           "  state [ADDR]           print the state\n"
           "  help                   this list\n"
           "  quit                   end the program\n";
}

std::string ControlCommands::describe(const Device &device)
{
    const DeviceConfig &c = device.config();
    const EventBuffer &events = device.events();
    const CommsCounters &counters = device.commsCounters();
    char text[1024];
    std::snprintf(text, sizeof text,
                  "device %u: %s %s \"%s\" serial %u, fault %s\n"
                  "  enabled channels 0x%04X, master inhibit %s, inputs 0x%02X, optos 0x%02X, "
                  "latched outputs 0x%02X\n"
                  "  event counter %u, results",
                  c.address, c.manufacturer.c_str(), c.equipmentCategory.c_str(), c.productCode.c_str(),
                  c.serialNumber, faultName(c.fault), device.enabledChannels(),
                  device.masterInhibit() ? "on" : "off", c.inputLines, c.optoStates, device.latchedOutputs(),
                  events.counter);
    std::string out = text;
    for (size_t i = 0; i < events.results.size(); i += 2)
        out += " (" + std::to_string(events.results[i]) + "," + std::to_string(events.results[i + 1]) + ")";
    std::snprintf(text, sizeof text,
                  "\n  comms: %u inter-byte time-outs, %u ignored bytes, %u bad checksums; %u requests "
                  "since power-up\n  channels:",
                  counters.interByteTimeouts, counters.ignoredBytes, counters.badChecksums,
                  device.requestsHandled());
    out += text;
    for (int ch = 0; ch < kChannels; ++ch)
        out += " " + std::to_string(ch + 1) + ":" + c.coinIds[ch] + "/" + std::to_string(c.sorterPaths[ch]);
    return out + "\n";
}

ControlCommands::Result ControlCommands::execute(const std::string &line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    if (words.empty())
        return {};
    const std::string &command = words[0];

    try {
        // The device named by the word at `index`, or the first device.
        const auto target = [&](size_t index) -> Device & {
            if (m_bus.deviceCount() == 0)
                throw OptionError("there is no device");
            if (words.size() <= index)
                return m_bus.deviceAt(0);
            if (words.size() > index + 1)
                throw OptionError("too many words (see help)");
            const auto address = static_cast<uint8_t>(parseNumber(words[index], 0, 255, "address"));
            if (Device *device = m_bus.device(address))
                return *device;
            throw OptionError("no device at address " + words[index]);
        };
        const auto argument = [&](long min, long max) {
            if (words.size() < 2)
                throw OptionError(command + " needs a value (see help)");
            return parseNumber(words[1], min, max, command);
        };
        const auto onOff = [&]() {
            if (words.size() < 2 || (words[1] != "on" && words[1] != "off"))
                throw OptionError(command + " needs on or off");
            return words[1] == "on";
        };

        if (command == "help")
            return {helpText()};
        if (command == "quit" || command == "exit")
            return {"", true};
        if (command == "coin") {
            const int channel = static_cast<int>(argument(1, kChannels));
            Device &device = target(2);
            const bool credited = device.insertCoin(channel);
            return {"device " + std::to_string(device.address()) + ": coin on channel " + std::to_string(channel)
                    + (credited ? " credited" : " refused (inhibited)") + ", event counter "
                    + std::to_string(device.events().counter) + "\n"};
        }
        if (command == "error") {
            const auto code = static_cast<uint8_t>(argument(0, 255));
            Device &device = target(2);
            device.raiseError(code);
            return {"device " + std::to_string(device.address()) + ": error event " + std::to_string(code)
                    + ", event counter " + std::to_string(device.events().counter) + "\n"};
        }
        if (command == "inputs" || command == "optos") {
            const auto mask = static_cast<uint8_t>(argument(0, 255));
            Device &device = target(2);
            if (command == "inputs")
                device.setInputLines(mask);
            else
                device.setOptoStates(mask);
            return {"device " + std::to_string(device.address()) + ": " + command + " " + std::to_string(mask)
                    + "\n"};
        }
        if (command == "inhibit") {
            const bool on = onOff();
            Device &device = target(2);
            device.setMasterInhibit(on);
            return {"device " + std::to_string(device.address()) + ": master inhibit " + (on ? "on" : "off")
                    + "\n"};
        }
        if (command == "fault") {
            if (words.size() < 2)
                throw OptionError("fault needs a name (see help)");
            const auto fault = parseFault(words[1]);
            if (!fault)
                throw OptionError("no fault named '" + words[1] + "'");
            Device &device = target(2);
            device.setFault(*fault);
            return {"device " + std::to_string(device.address()) + ": fault " + faultName(*fault) + "\n"};
        }
        if (command == "pacing") {
            m_bus.setPacing(onOff());
            return {std::string("pacing ") + (m_bus.pacing() ? "on" : "off") + "\n"};
        }
        if (command == "state") {
            if (words.size() > 1)
                return {describe(target(1))};
            std::string out = std::string("pacing ") + (m_bus.pacing() ? "on" : "off") + "\n";
            for (size_t i = 0; i < m_bus.deviceCount(); ++i)
                out += describe(m_bus.deviceAt(i));
            return {out};
        }
        return {"unknown command '" + command + "' (type help)\n"};
    } catch (const OptionError &error) {
        return {std::string(error.what()) + "\n"};
    }
}

} // namespace ccsim
