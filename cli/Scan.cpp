// ravlin scan: which devices are on the bus. The address poll collects the
// bare answers of every device, simple polls go to each address of the
// range, and every device that answered is asked who it is.
#include <algorithm>
#include <ostream>
#include <set>

#include "CliError.h"
#include "DevicePaths.h"
#include "CommandTable.h"
#include "Interrupt.h"
#include "ReplyProbe.h"

namespace ravlin {

namespace {

std::pair<int, int> parseRange(const std::string &text)
{
    const size_t dash = text.find('-');
    if (dash == std::string::npos) {
        const int only = static_cast<int>(parseNumber(text, 2, 255, "--range"));
        return {only, only};
    }
    const int first = static_cast<int>(parseNumber(text.substr(0, dash), 2, 255, "the start of --range"));
    const int last = static_cast<int>(parseNumber(text.substr(dash + 1), 2, 255, "the end of --range"));
    if (last < first)
        throw usageError("--range must go up: " + text);
    return {first, last};
}

struct Found
{
    uint8_t address = 0;
    bool polled = false;       // answered the simple poll
    bool addressPoll = false;  // answered the address poll
    std::string category, manufacturer, product;
    long long serial = -1;
    std::string problem;
    bool collision = false;
};

void identify(DeviceLink &device, Found &found)
{
    auto attempt = [&](auto read) {
        if (!found.problem.empty())
            return;
        try {
            read();
        } catch (const CliError &error) {
            found.problem = error.what();
            const int kind = error.probeKind();
            // The device acknowledged the simple poll, which sounds the
            // same from several devices; replies that differ between them
            // come out garbled where they overlap.
            found.collision = found.polled && (kind == Probe::BadChecksum || kind == Probe::Truncated
                                               || kind == Probe::Unexpected || kind == Probe::Good);
        }
    };
    attempt([&] { found.category = shownText(device.category()); });
    attempt([&] { found.manufacturer = shownText(device.manufacturer()); });
    attempt([&] { found.product = shownText(device.product()); });
    attempt([&] { found.serial = device.serialNumber(); });
}

void runScan(Context &c)
{
    catchInterrupt();
    const auto [first, last] = parseRange(c.args.range.value_or("2-255"));
    // The address poll and the devices' quiet time, then one simple poll
    // per address that may take the whole time-out.
    const int seconds = static_cast<int>((1500 + (last - first + 1) * static_cast<long>(c.timeoutMs()) + 999) / 1000);
    c.err << "ravlin: scan: addresses " << first << " to " << last << ", about " << seconds
          << " s (--range and --timeout shorten it)\n" << std::flush;
    const bool progress = stderrIsTerminal();
    DeviceLink device(c.port(replyTimeouts(1200)), 0);
    const std::vector<uint8_t> answers = device.addressPoll();
    PortSession &port = c.port();
    std::string line = "address poll on " + port.shown() + ":";
    for (const uint8_t a : answers)
        line += " " + std::to_string(a);
    c.stream(answers.empty() ? line + " no answer" : line,
             JsonObject().add("event", "address_poll").addNumbers("answers", answers));
    // Devices keep quiet for about a second after the address poll.
    sleepUnlessInterrupted(300);
    port.reopen(replyTimeouts(c.timeoutMs()));

    std::vector<Found> found;
    std::set<int> seen;
    for (int a = first; a <= last && !interrupted(); ++a) {
        if (progress)
            c.err << "\rravlin: scan: address " << a << " of " << first << "-" << last << " " << std::flush;
        uint8_t answered = static_cast<uint8_t>(a);
        if (!CCGet_Simple_Poll(port.handle(), &answered))
            continue;
        Found f;
        f.address = static_cast<uint8_t>(a);
        f.polled = true;
        if (answered != a)
            f.problem = "the simple poll to " + std::to_string(a) + " was answered from address " + std::to_string(answered);
        found.push_back(f);
        seen.insert(a);
    }
    if (progress)
        c.err << "\r" << std::string(40, ' ') << "\r" << std::flush;
    for (const uint8_t a : answers) {
        if (seen.count(a)) {
            for (Found &f : found)
                if (f.address == a)
                    f.addressPoll = true;
            continue;
        }
        Found f;
        f.address = a;
        f.addressPoll = true;
        if (a >= first && a <= last)
            f.problem = "answers the address poll but not the simple poll";
        found.push_back(f);
        seen.insert(a);
    }
    std::sort(found.begin(), found.end(), [](const Found &x, const Found &y) { return x.address < y.address; });
    for (Found &f : found) {
        if (interrupted())
            break;
        if (f.problem.empty() || f.polled) {
            device.setAddress(f.address);
            if (f.problem.empty())
                identify(device, f);
        }
        std::string text = "address " + std::to_string(f.address);
        if (f.collision)
            text += "  colliding replies: more than one device answers at this address (" + f.problem + ")";
        else if (!f.problem.empty())
            text += "  " + f.problem;
        else
            text += "  " + f.category + "  " + f.manufacturer + "  " + f.product + "  serial " + std::to_string(f.serial);
        JsonObject object;
        object.add("event", "device").add("address", f.address).addBool("simple_poll", f.polled).addBool("address_poll", f.addressPoll);
        if (f.problem.empty())
            object.add("category", f.category).add("manufacturer", f.manufacturer).add("product", f.product).add("serial_number", f.serial);
        else
            object.addBool("collision", f.collision).add("problem", f.problem);
        c.stream(text, object);
    }
    c.stream(std::to_string(found.size()) + (found.size() == 1 ? " address answers" : " addresses answer") + " on " + port.shown()
                 + " (simple poll of addresses " + std::to_string(first) + " to " + std::to_string(last) + ")"
                 + (interrupted() ? ", interrupted" : ""),
             JsonObject().add("event", "summary").add("addresses", static_cast<long long>(found.size())).add("first", first).add("last", last));
    if (interrupted())
        throw CliError(kExitInterrupted, "interrupted");
}

} // namespace

Command scanCommand()
{
    return {"scan", "", 0, 0, kTimeout | kRange, 100, "find the devices on the bus",
            "Sends the address poll (header 253) and collects every bare answer, waits for the devices' "
            "quiet time, then sends a simple poll (header 254) to each address of --range (default "
            "2-255, --timeout default 100 ms each). Each device found is asked its category, "
            "manufacturer, product code and serial number. Two devices on one address acknowledge the "
            "simple poll as one, but their differing replies collide on the line: such an address is "
            "reported as colliding.",
            {"ravlin scan", "ravlin scan --range 2-16 --json"},
            runScan};
}

} // namespace ravlin
