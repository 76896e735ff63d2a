// The integer reader against an oracle written apart from it: leading blanks
// (spaces only), an optional sign, then decimal digits, or hexadecimal ones
// after "$", "x", "X", "0x" or "0X"; nothing after the digits; the value in
// the signed 32-bit range. readInteger and tryReadInteger must both agree
// with the oracle on every text, and the error must carry the text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "IntegerText.h"

namespace {

void check(bool condition, const char *what, const std::string &text)
{
    if (!condition) {
        std::fprintf(stderr, "integer reader: %s, text of %zu bytes\n", what, text.size());
        std::abort();
    }
}

std::optional<int32_t> oracle(const std::string &text)
{
    std::string rest = text;
    const size_t firstNonBlank = rest.find_first_not_of(' ');
    rest = firstNonBlank == std::string::npos ? std::string() : rest.substr(firstNonBlank);

    int sign = 1;
    if (!rest.empty() && (rest[0] == '-' || rest[0] == '+')) {
        sign = rest[0] == '-' ? -1 : 1;
        rest.erase(0, 1);
    }

    std::string digits = "0123456789";
    for (const char *prefix : {"0x", "0X", "$", "x", "X"}) {
        const std::string p(prefix);
        if (rest.compare(0, p.size(), p) == 0) {
            // "0x" only counts as a prefix when something follows it; alone
            // it is a failure either way.
            digits = "0123456789abcdefABCDEF";
            rest.erase(0, p.size());
            break;
        }
    }
    if (rest.empty() || rest.find_first_not_of(digits) != std::string::npos)
        return std::nullopt;

    const int64_t base = digits.size() == 10 ? 10 : 16;
    // The magnitude stops growing past 2^31: that is out of range anyway.
    int64_t magnitude = 0;
    for (const char c : rest) {
        const int64_t d = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        magnitude = magnitude * base + d;
        if (magnitude > (int64_t(1) << 31))
            return std::nullopt;
    }
    const int64_t value = sign * magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::optional<int32_t> expected = oracle(text);

    int32_t value = 12345;
    const bool read = tryReadInteger(text, value);
    check(read == expected.has_value(), "tryReadInteger disagrees with the oracle on success", text);
    if (read)
        check(value == *expected, "tryReadInteger gives another value than the oracle", text);
    else
        check(value == 12345, "tryReadInteger wrote its output on failure", text);

    try {
        const int32_t thrown = readInteger(text);
        check(expected.has_value(), "readInteger accepted a text the oracle refuses", text);
        check(thrown == *expected, "readInteger gives another value than the oracle", text);
    } catch (const IntegerConversionError &error) {
        check(!expected.has_value(), "readInteger refused a text the oracle accepts", text);
        check(error.text() == text, "the error does not carry the text", text);
        const std::string message = "'" + text + "' n'est pas une valeur enti\xC3\xA8re correcte";
        check(std::strcmp(error.what(), message.c_str()) == 0, "the error message is not the documented one", text);
    }
    return 0;
}
