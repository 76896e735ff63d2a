// The JSON writer of ravlin against a real JSON parser: every object that
// JsonObject writes parses, and the parser sees exactly the fields put in,
// in order: keys and strings with the same bytes, integers with the same
// value, numbers with the value of the three decimals written (within
// 0.0005 of the number given), nested objects and lists.
//
// Input: a list of operations, one byte each (the kind in the low 3 bits,
// bit 3: a text taken as it is when it is valid UTF-8, as ISO 8859-1 bytes
// converted otherwise), followed by what the kind needs: a key and a text
// (a length byte and the bytes each), 8 bytes of a number, a count.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "FuzzCheck.h"
#include "IntegerText.h"
#include "Json.h"

using namespace ravlin;

const char *const kFuzzTarget = "json writer";

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool validUtf8(const std::string &text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size())
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static const uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (cp < smallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

class Reader
{
public:
    Reader(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool more() const { return m_at < m_size; }
    uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    std::string piece()
    {
        const size_t wanted = byte();
        const size_t n = std::min<size_t>(wanted, m_size - m_at);
        std::string s(reinterpret_cast<const char *>(m_data + m_at), n);
        m_at += n;
        return s;
    }
    uint64_t eight()
    {
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v = (v << 8) | byte();
        return v;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

// What the parser is expected to report, one event each.
struct Expected
{
    std::vector<std::string> events;
    std::vector<double> numbers;  // the doubles written, in order
    std::vector<double> decimals; // their text as written, read back
};

std::string textFor(Reader &in, bool takeAsIs)
{
    const std::string bytes = in.piece();
    return takeAsIs && validUtf8(bytes) ? bytes : latin1ToUtf8(bytes);
}

JsonObject build(Reader &in, Expected &expected, int depth)
{
    JsonObject object;
    expected.events.push_back("{");
    // An object ends at the input's end or at an operation byte of 0xFF.
    while (in.more()) {
        const uint8_t op = in.byte();
        if (op == 0xFF)
            break;
        const bool asIs = (op & 8) != 0;
        const std::string key = textFor(in, asIs);
        expected.events.push_back("K:" + key);
        switch (op & 7) {
        case 0: {
            const std::string text = textFor(in, asIs);
            object.add(key, text);
            expected.events.push_back("S:" + text);
            break;
        }
        case 1: {
            const auto number = static_cast<long long>(in.eight());
            object.add(key, number);
            expected.events.push_back("I:" + std::to_string(number));
            break;
        }
        case 2: {
            const uint64_t bits = in.eight();
            double number;
            std::memcpy(&number, &bits, sizeof number);
            object.add(key, number);
            char text[400];
            std::snprintf(text, sizeof text, "%.3f", std::isfinite(number) ? number : 0.0);
            // The parser's number is compared by value: the three decimals
            // written, read back as any reader of decimals does.
            expected.events.push_back("F");
            expected.numbers.push_back(std::isfinite(number) ? number : 0.0);
            expected.decimals.push_back(std::strtod(text, nullptr));
            break;
        }
        case 3: {
            const bool value = (in.byte() & 1) != 0;
            object.addBool(key, value);
            expected.events.push_back(value ? "B:true" : "B:false");
            break;
        }
        case 4:
            object.addNull(key);
            expected.events.push_back("N");
            break;
        case 5:
            if (depth < 4) {
                object.add(key, build(in, expected, depth + 1));
            } else {
                object.add(key, JsonObject());
                expected.events.push_back("{");
                expected.events.push_back("}");
            }
            break;
        case 6: {
            const int count = depth < 4 ? in.byte() % 4 : 0;
            std::vector<JsonObject> list;
            expected.events.push_back("[");
            for (int i = 0; i < count; ++i)
                list.push_back(build(in, expected, depth + 1));
            expected.events.push_back("]");
            object.add(key, list);
            break;
        }
        default: {
            const std::string bytes = in.piece();
            object.addNumbers(key, std::vector<uint8_t>(bytes.begin(), bytes.end()));
            expected.events.push_back("[");
            for (const char c : bytes)
                expected.events.push_back("I:" + std::to_string(static_cast<unsigned char>(c)));
            expected.events.push_back("]");
            break;
        }
        }
    }
    expected.events.push_back("}");
    return object;
}

// Records the parser's events in the form of Expected.
struct Recorder
{
    using json = nlohmann::json;
    std::vector<std::string> events;
    std::vector<double> numbers;
    std::string error;

    bool null() { return add("N"); }
    bool boolean(bool value) { return add(value ? "B:true" : "B:false"); }
    bool number_integer(json::number_integer_t value) { return add("I:" + std::to_string(value)); }
    bool number_unsigned(json::number_unsigned_t value) { return add("I:" + std::to_string(value)); }
    bool number_float(json::number_float_t value, const json::string_t &)
    {
        numbers.push_back(value);
        return add("F");
    }
    bool string(json::string_t &value) { return add("S:" + value); }
    bool binary(json::binary_t &) { return add("binary"); }
    bool start_object(std::size_t) { return add("{"); }
    bool key(json::string_t &value) { return add("K:" + value); }
    bool end_object() { return add("}"); }
    bool start_array(std::size_t) { return add("["); }
    bool end_array() { return add("]"); }
    bool parse_error(std::size_t, const std::string &, const nlohmann::detail::exception &e)
    {
        error = e.what();
        return false;
    }

private:
    bool add(std::string event)
    {
        events.push_back(std::move(event));
        return true;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Reader in(data, size);
    Expected expected;
    const JsonObject object = build(in, expected, 0);
    const std::string text = object.text();
    check(text.find('\n') == std::string::npos, "the object takes more than one line");

    Recorder recorder;
    const bool parsed = nlohmann::json::sax_parse(text, &recorder);
    if (!parsed)
        std::fprintf(stderr, "%s\n", recorder.error.c_str());
    check(parsed, "the written object does not parse");
    // "I:" events of the writer's integers: the parser reads a value as an
    // unsigned or signed 64-bit number, both printed alike.
    if (recorder.events != expected.events) {
        for (size_t i = 0; i < std::max(recorder.events.size(), expected.events.size()); ++i) {
            const std::string got = i < recorder.events.size() ? recorder.events[i] : "(none)";
            const std::string want = i < expected.events.size() ? expected.events[i] : "(none)";
            if (got != want) {
                std::fprintf(stderr, "event %zu: parsed %.80s, written %.80s\n", i, got.c_str(), want.c_str());
                break;
            }
        }
    }
    check(recorder.events == expected.events, "the parser saw other fields than were written");
    check(recorder.numbers.size() == expected.numbers.size(), "another count of numbers");
    for (size_t i = 0; i < expected.numbers.size(); ++i) {
        const double x = expected.numbers[i];
        check(recorder.numbers[i] == expected.decimals[i], "a number read back as another value than written");
        check(std::fabs(recorder.numbers[i] - x) <= 0.0005 + std::fabs(x) * 1e-15,
              "a number read back further than its three decimals");
    }
    return 0;
}
