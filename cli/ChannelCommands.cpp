// Channel inhibits, master inhibit, sorter paths, coin ids and the event
// buffer.
#include "CliError.h"
#include "CommandTable.h"
#include "EventLog.h"

namespace ravlin {

// A coin id as six ISO 8859-1 characters: what a person types (UTF-8) made
// into the bytes the device stores. Throws CliError (usage) otherwise.
std::string coinIdArgument(const std::string &text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F)
                throw usageError("a coin id holds printable characters only");
            bytes += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
            bytes += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
        } else {
            throw usageError("a coin id holds ISO 8859-1 characters only, not '" + text + "'");
        }
    }
    if (bytes.size() != 6)
        throw usageError("a coin id has 6 characters, not " + std::to_string(bytes.size()) + " ('" + text + "')");
    return bytes;
}

std::vector<Command> channelCommands()
{
    return {
        {"inhibits", "", 0, 0, kDevice, 500, "which channels are enabled (header 230)",
         "The 16-bit mask, bit k-1 set when channel k accepts coins, and the list of enabled channels.",
         {"ravlin inhibits --address 2"},
         [](Context &c) {
             const uint16_t mask = c.device().inhibits();
             c.report(hex16(mask) + " enabled: " + channelList(mask),
                      JsonObject().add("mask", static_cast<int>(mask)).add("enabled", channelList(mask)));
         }},
        {"set-inhibits", "MASK", 1, 1, kDevice, 500, "enable the channels in MASK, inhibit the others",
         "Header 231 with the 16-bit mask, bit k-1 for channel k (1: coins accepted).",
         {"ravlin set-inhibits 0xFFFF --address 2", "ravlin set-inhibits 0x00FF"},
         [](Context &c) {
             const auto mask = static_cast<uint16_t>(parseNumber(c.args.positionals[0], 0, 0xFFFF, "the channel mask"));
             c.device().setInhibits(mask);
             c.report(hex16(mask) + " enabled: " + channelList(mask),
                      JsonObject().add("mask", static_cast<int>(mask)).add("enabled", channelList(mask)));
         }},
        {"master-inhibit", "", 0, 0, kDevice, 500, "whether the device refuses every coin (header 227)",
         "\"on\": the master inhibit is active and no coin is accepted; \"off\": normal operation.",
         {"ravlin master-inhibit --address 2"},
         [](Context &c) {
             const bool on = c.device().masterInhibit();
             c.report(on ? "on (all coins refused)" : "off (coins accepted)", JsonObject().addBool("inhibited", on));
         }},
        {"sorter", "CHANNEL", 1, 1, kDevice, 500, "the sorter path of CHANNEL (header 209)", "",
         {"ravlin sorter 3 --address 2"},
         [](Context &c) {
             const uint8_t channel = channelArgument(c.args.positionals[0]);
             const uint8_t path = c.device().sorter(channel);
             c.report(std::to_string(path), JsonObject().add("channel", channel).add("path", path));
         }},
        {"set-sorter", "CHANNEL PATH", 2, 2, kDevice, 500, "send coins of CHANNEL to sorter PATH (header 210)", "",
         {"ravlin set-sorter 3 2 --address 2"},
         [](Context &c) {
             const uint8_t channel = channelArgument(c.args.positionals[0]);
             const uint8_t path = byteArgument(c.args.positionals[1], "the sorter path");
             c.device().setSorter(channel, path);
             c.report("channel " + std::to_string(channel) + " sorts to path " + std::to_string(path),
                      JsonObject().add("channel", channel).add("path", path));
         }},
        {"coin-id", "CHANNEL", 1, 1, kDevice, 500, "the coin id of CHANNEL (header 184)",
         "Six characters: country, value, issue (\"EU100A\"); \"......\" for a channel without a coin.",
         {"ravlin coin-id 5 --address 2"},
         [](Context &c) {
             const uint8_t channel = channelArgument(c.args.positionals[0]);
             const std::string id = shownText(c.device().coinId(channel));
             c.report(id, JsonObject().add("channel", channel).add("coin_id", id));
         }},
        {"set-coin-id", "CHANNEL ID", 2, 2, kDevice, 500, "program the coin id of CHANNEL (header 185)",
         "ID has exactly six characters.", {"ravlin set-coin-id 5 EU100A --address 2"},
         [](Context &c) {
             const uint8_t channel = channelArgument(c.args.positionals[0]);
             const std::string id = coinIdArgument(c.args.positionals[1]);
             c.device().setCoinId(channel, id);
             c.report("channel " + std::to_string(channel) + " is " + shownText(id),
                      JsonObject().add("channel", channel).add("coin_id", shownText(id)));
         }},
        {"events", "", 0, 0, kDevice, 500, "read the coin event buffer once (header 229)",
         "The event counter and the five events the buffer holds, newest first: credits with their "
         "channel and sorter path, errors by name. `ravlin watch` shows new events as they come.",
         {"ravlin events --address 2"},
         [](Context &c) {
             const std::vector<uint8_t> buffer = c.device().eventBuffer();
             const std::vector<CoinEvent> events = bufferedEvents(buffer);
             std::string line = "counter " + std::to_string(buffer[0]);
             std::vector<JsonObject> list;
             for (const CoinEvent &e : events) {
                 line += "; " + std::to_string(e.number) + ": " + describeEvent(e.resultA, e.resultB);
                 list.push_back(eventJson(e));
             }
             c.report(line, JsonObject().add("counter", buffer[0]).add("events", list).addNumbers("bytes", buffer));
         }},
    };
}

} // namespace ravlin
