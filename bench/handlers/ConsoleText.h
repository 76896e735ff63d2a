// The raw command console's text work, apart from the window: trimming, the
// data field's tokens, the request's checksum, and the three reply lines.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <stdexcept>

// The request block handed to CCSend_Command: destination, data count n,
// source, header, then n data bytes; no checksum.
using RequestBlock = std::array<uint8_t, 255>;
// The reply buffer of CCSend_Command: room for the longest ccTalk message.
using ReplyBuffer = std::array<uint8_t, 260>;

// The data field holds more characters than the console reads (255).
class ConsoleDataTooLong : public std::runtime_error
{
public:
    ConsoleDataTooLong();
};

inline constexpr int kMaxDataText = 255;

// Blanks and control characters removed at both ends.
QString trimmedText(const QString &text);

// The low 8 bits of the text's integer value (the project's integer reader:
// decimal, or hexadecimal after "$", "x" or "0x"). Throws
// IntegerConversionError when the text is not an integer.
uint8_t byteOfText(const QString &text);

// Reads the trimmed data text into block bytes 4 onwards, one byte per
// token, tokens separated by exactly one blank (two blanks make an empty
// token, which does not convert), and sets block byte 1 to their count.
// Empty text gives no data. Throws ConsoleDataTooLong for more than 255
// characters and IntegerConversionError for a token that does not convert.
void readDataTokens(const QString &data, RequestBlock &block);

// (256 - sum of block bytes 0 to 3 + n) mod 256: the checksum on the line.
uint8_t requestChecksum(const RequestBlock &block);

// The three lines of a reply ("D : ", "H : ", "A : "), one column per reply
// byte from index 5 (headers 250 to 253, collected bare bytes) or 0 (a
// framed reply) to index reply byte 1 + 4.
QStringList replyLines(const ReplyBuffer &reply, uint8_t sentHeader);
