// ravlin watch: the repeating poll of the event buffer. Prints new events
// only, decoded, and says when more came than the buffer holds.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <ostream>

#include "CliError.h"
#include "CommandTable.h"
#include "EventLog.h"
#include "Interrupt.h"

namespace ravlin {

namespace {

std::string clockText()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    char text[32];
    std::strftime(text, sizeof text, "%H:%M:%S", std::localtime(&seconds));
    char out[40];
    std::snprintf(out, sizeof out, "%s.%03d", text, static_cast<int>(ms));
    return out;
}

void runWatch(Context &c)
{
    catchInterrupt();
    const int interval = c.args.intervalMs.value_or(200);
    DeviceLink &device = c.device();
    const std::string where = c.where();
    EventTracker tracker;
    long polls = 0, fresh = 0, lost = 0, failed = 0;
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    // --count counts the new events, --polls the polls.
    auto done = [&] {
        return (c.args.count && fresh >= *c.args.count) || (c.args.polls && polls >= *c.args.polls)
               || (c.args.seconds && elapsed() >= *c.args.seconds);
    };
    while (!interrupted()) {
        if (done())
            break;
        ++polls;
        std::vector<uint8_t> buffer;
        try {
            buffer = device.eventBuffer();
        } catch (const CliError &error) {
            ++failed;
            c.err << "ravlin: watch: " << error.what() << "\n" << std::flush;
            sleepUnlessInterrupted(interval);
            continue;
        }
        const EventTracker::Update update = tracker.update(buffer);
        const std::string time = clockText();
        if (update.first)
            c.stream(time + "  watching " + where + ", event counter " + std::to_string(buffer[0]),
                     JsonObject().add("time", time).add("event", "start").add("counter", buffer[0]));
        if (update.counterReset)
            c.stream(time + "  event counter back to 0: the device was reset or powered up",
                     JsonObject().add("time", time).add("event", "counter_reset"));
        if (update.lost) {
            lost += update.lost;
            c.stream(time + "  " + std::to_string(update.lost) + " event" + (update.lost == 1 ? "" : "s")
                         + " lost: the counter moved by " + std::to_string(update.lost + update.fresh.size())
                         + " since the last poll, the buffer holds 5",
                     JsonObject().add("time", time).add("event", "lost").add("lost", update.lost));
        }
        for (const CoinEvent &event : update.fresh) {
            if (c.args.count && fresh >= *c.args.count)
                break;
            ++fresh;
            char number[8];
            std::snprintf(number, sizeof number, "%3u", event.number);
            c.stream(time + "  " + number + "  " + describeEvent(event.resultA, event.resultB),
                     JsonObject().add("time", time).add("event", "coin_event").append(eventJson(event)));
        }
        if (done())
            break;
        sleepUnlessInterrupted(interval);
    }
    char seconds[16];
    std::snprintf(seconds, sizeof seconds, "%.1f", elapsed());
    c.stream("stopped after " + std::to_string(polls) + " polls in " + seconds + " s: " + std::to_string(fresh)
                 + " new events, " + std::to_string(lost) + " lost, " + std::to_string(failed) + " failed polls",
             JsonObject()
                 .add("event", "stop")
                 .add("polls", polls)
                 .add("new_events", fresh)
                 .add("lost", lost)
                 .add("failed_polls", failed)
                 .add("seconds", elapsed()));
    if (polls > 0 && failed == polls)
        throw CliError(kExitDevice, "every poll failed");
}

} // namespace

Command watchCommand()
{
    return {"watch", "", 0, 0, kDevice | kInterval | kCount | kPolls | kFor, 500, "follow the coin events as they come",
            "Reads the event buffer (header 229) every --interval milliseconds (default 200) and prints "
            "each new event once, oldest first, with its counter value: credits with channel and sorter "
            "path, errors by name. When the counter moved by more than the five events the buffer holds, "
            "it says how many were lost. A failed poll is reported on standard error and the watch goes "
            "on. Ctrl-C ends it with a summary line; so do --count N new events, --polls N polls, or --for "
            "SECONDS.",
            {"ravlin watch --address 2", "ravlin watch --address 2 --interval 100 --json",
             "ravlin watch --for 60 > coins.log"},
            runWatch};
}

} // namespace ravlin
