#include "EventLog.h"

namespace ravlin {

std::string errorName(uint8_t code)
{
    static const char *const kNames[] = {
        "null event", "reject coin", "inhibited coin", "multiple window", "wake-up timeout",
        "validation timeout", "credit sensor timeout", "sorter opto timeout", "2nd close coin error",
        "accept gate not ready", "credit sensor not ready", "sorter not ready", "reject coin not cleared",
        "validation sensor not ready", "credit sensor blocked", "sorter opto blocked", "credit sequence error",
        "coin going backwards", "coin too fast (over credit sensor)", "coin too slow (over credit sensor)",
        "C.O.S. mechanism activated", "DCE opto timeout", "DCE opto not seen", "credit sensor reached too early",
        "reject coin (repeated sequential trip)", "reject slug", "reject sensor blocked", "games overload",
        "max. coin meter pulses exceeded", "accept gate open not closed", "accept gate closed not open",
        "manifold opto timeout", "manifold opto blocked", "manifold not ready", "security status changed",
        "motor exception", "swallowed coin", "coin too fast (over validation sensor)",
        "coin too slow (over validation sensor)", "coin incorrectly sorted", "external light attack"};
    if (code < sizeof kNames / sizeof kNames[0])
        return kNames[code];
    if (code >= 128 && code <= 159)
        return "inhibited coin (type " + std::to_string(code - 127) + ")";
    if (code == 253)
        return "data block request";
    if (code == 254)
        return "coin return mechanism activated";
    if (code == 255)
        return "unspecified alarm code";
    return "code " + std::to_string(code);
}

std::string describeEvent(uint8_t resultA, uint8_t resultB)
{
    if (resultA != 0)
        return "credit on channel " + std::to_string(resultA) + ", sorter path " + std::to_string(resultB);
    return "error " + std::to_string(resultB) + ": " + errorName(resultB);
}

JsonObject eventJson(const CoinEvent &event)
{
    JsonObject object;
    object.add("counter", event.number);
    if (event.resultA != 0)
        object.add("type", "credit").add("channel", event.resultA).add("sorter_path", event.resultB);
    else
        object.add("type", "error").add("code", event.resultB).add("name", errorName(event.resultB));
    object.add("text", describeEvent(event.resultA, event.resultB));
    return object;
}

std::vector<CoinEvent> bufferedEvents(const std::vector<uint8_t> &buffer)
{
    std::vector<CoinEvent> events;
    if (buffer.empty())
        return events;
    unsigned number = buffer[0];
    for (size_t pair = 0; pair < 5 && 2 * pair + 2 < buffer.size() && number != 0; ++pair) {
        events.push_back({number, buffer[1 + 2 * pair], buffer[2 + 2 * pair]});
        number = number == 1 ? 255 : number - 1;
    }
    return events;
}

EventTracker::Update EventTracker::update(const std::vector<uint8_t> &buffer)
{
    Update result;
    if (buffer.empty())
        return result;
    const uint8_t counter = buffer[0];
    if (!m_last) {
        m_last = counter;
        result.first = true;
        return result;
    }
    const uint8_t last = *m_last;
    m_last = counter;
    if (counter == last)
        return result;
    if (counter == 0) {
        result.counterReset = true;
        return result;
    }
    // The counter goes 1, 2, ... 255, 1: it never takes 0 again.
    const unsigned count = last == 0 ? counter : counter > last ? counter - last : counter + 255u - last;
    const unsigned shown = count < 5 ? count : 5;
    result.lost = count - shown;
    const std::vector<CoinEvent> held = bufferedEvents(buffer);
    for (unsigned i = shown; i-- > 0;)
        if (i < held.size())
            result.fresh.push_back(held[i]);
    return result;
}

} // namespace ravlin
