// The one integer reader of the project, used by the library (base year) and
// by the bench (every numeric field).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// Raised when a text is not an integer. what() is the French message
// "'<text>' n'est pas une valeur entière correcte" in UTF-8.
class IntegerConversionError : public std::runtime_error
{
public:
    explicit IntegerConversionError(const std::string &text);
    const std::string &text() const { return m_text; }

private:
    std::string m_text;
};

// Reads a signed 32-bit integer: leading spaces skipped, an optional sign,
// then decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or
// "0X". Nothing may follow the digits; the value must fit in 32 signed bits.
// Throws IntegerConversionError otherwise. The text is UTF-8.
int32_t readInteger(const std::string &text);

// As readInteger, without throwing: false when the text does not convert.
bool tryReadInteger(const std::string &text, int32_t &value);

// Bytes of a single-byte code page (ISO 8859-1) as UTF-8: how the project
// turns device text into display text.
std::string latin1ToUtf8(const std::string &bytes);
