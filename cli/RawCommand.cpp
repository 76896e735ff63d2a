// Any header with any data, through the raw pass-through: the reply is shown
// as it came, with what it means.
#include <cstdio>
#include <cstring>

#include "CliError.h"
#include "CommandTable.h"
#include "HeaderNames.h"
#include "ReplyProbe.h"

namespace ravlin {

namespace {

std::string hexBytes(const uint8_t *bytes, size_t count)
{
    std::string out;
    char one[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(one, sizeof one, "%02X", bytes[i]);
        out += (i ? " " : "") + std::string(one);
    }
    return out;
}

void runRaw(Context &c)
{
    const uint8_t header = byteArgument(c.args.positionals[0], "the header");
    if (c.args.positionals.size() - 1 > 251)
        throw usageError("at most 251 data bytes");
    uint8_t request[255] = {};
    request[0] = c.args.address;
    request[1] = static_cast<uint8_t>(c.args.positionals.size() - 1);
    request[2] = 1;
    request[3] = header;
    std::vector<uint8_t> data;
    for (size_t i = 1; i < c.args.positionals.size(); ++i) {
        data.push_back(byteArgument(c.args.positionals[i], "data byte " + std::to_string(i)));
        request[3 + i] = data.back();
    }
    const bool collect = header >= 250 && header <= 253;
    // Bare answers to the address commands come up to a second late.
    PortSession &port = c.port(replyTimeouts(c.args.timeoutMs.value_or(collect ? 1200 : c.timeoutMs())));
    uint8_t reply[260];
    std::memset(reply, 0xA5, sizeof reply);
    const bool ok = CCSend_Command(port.handle(), request, reply);
    JsonObject fields;
    fields.add("header", header).addNumbers("data", data);
    if (collect) {
        if (!ok) {
            port.settle();
            throw CliError(kExitDevice, "no bare answer to " + headerName(header) + " on " + port.shown() + " (timed out)");
        }
        const std::vector<uint8_t> answers(reply + 5, reply + 5 + reply[1]);
        std::string line = "bare answer" + std::string(answers.size() == 1 ? "" : "s") + ":";
        for (const uint8_t a : answers)
            line += " " + std::to_string(a);
        c.report(line, fields.addNumbers("answers", answers));
        return;
    }
    const Probe probe = classifyReply(ok, reply);
    if (!ok) {
        if (lineMayStillCarry(probe))
            port.settle();
        throw CliError(kExitDevice, describeFailure(probe, c.args.address, port.shown(), {}));
    }
    const size_t length = reply[1] + 5u;
    std::string meaning = "from " + std::to_string(reply[2]) + ", header " + std::to_string(reply[3]) + " ("
                          + (reply[3] == 0 ? std::string("ACK") : headerName(reply[3])) + "), "
                          + std::to_string(reply[1]) + " data byte" + (reply[1] == 1 ? "" : "s") + ", checksum "
                          + (probe.kind == Probe::BadChecksum ? "wrong" : "good");
    std::string text;
    for (uint8_t b : probe.data)
        text += (b >= 0x20 && b < 0x7F) ? static_cast<char>(b) : '.';
    if (!text.empty())
        meaning += ", \"" + text + "\"";
    fields.addNumbers("reply", std::vector<uint8_t>(reply, reply + length))
        .add("source", reply[2])
        .add("reply_header", reply[3])
        .addBool("checksum_good", probe.kind != Probe::BadChecksum);
    c.report(hexBytes(reply, length) + "  " + meaning, fields);
}

} // namespace

std::vector<Command> rawCommands()
{
    return {
        {"raw", "HEADER [DATA...]", 1, -1, kDevice, 500, "send any header with data bytes, show the reply",
         "Sends HEADER with the DATA bytes to --address from the host (address 1); the library adds the "
         "checksum. The reply is shown in hexadecimal as it came, with its source, header, data and "
         "whether its checksum is right; nothing in it is refused. For headers 250 to 253 the bare "
         "answer bytes of every device are collected until none comes within the time-out.",
         {"ravlin raw 254 --address 2", "ravlin raw 184 5 --address 2", "ravlin raw 253"},
         runRaw},
    };
}

} // namespace ravlin
