// The window's parsers of typed text: the console's data field (trimming,
// tokens, checksum, reply lines), the coin id field's text functions, and
// the date text.
//
// Input: byte 0 the flags (bit 0: the text is ISO 8859-1 rather than UTF-8;
// the rest pick the sent header), bytes 1 to 6 a year, month and day (low
// byte first), then the text. The text is also the reply buffer's bytes
// (repeated) and the date format.
#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzCheck.h"
#include "CoinIdField.h"
#include "ConsoleText.h"
#include "DateText.h"
#include "IntegerText.h"

const char *const kFuzzTarget = "window text";

namespace {

bool blankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

void consoleText(const QString &text)
{
    const QString trimmed = trimmedText(text);
    check(text.contains(trimmed), "trimming made up characters");
    check(trimmed.isEmpty() || (!blankOrControl(trimmed.front()) && !blankOrControl(trimmed.back())),
          "trimming left a blank at an end");
    check(trimmedText(trimmed) == trimmed, "trimming twice trims more");
    if (!trimmed.isEmpty()) {
        qsizetype first = 0;
        while (blankOrControl(text.at(first)))
            ++first;
        check(text.mid(first, trimmed.size()) == trimmed, "trimming took characters from inside");
    }

    // The oracle of the data field: tokens between single blanks, each one
    // byte of an integer, or no data for an empty text.
    const QStringList tokens = text.split(QLatin1Char(' '));
    bool allConvert = true;
    std::vector<uint8_t> bytes;
    for (const QString &token : tokens) {
        int32_t value = 0;
        if (!tryReadInteger(token.toStdString(), value))
            allConvert = false;
        bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    }

    RequestBlock block;
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(0xA5 ^ i);
    try {
        readDataTokens(text, block);
        check(text.size() <= kMaxDataText, "more than 255 characters read");
        check(text.isEmpty() || allConvert, "a token that does not convert was read");
        const size_t n = text.isEmpty() ? 0 : bytes.size();
        check(block[1] == n, "the data count is not the token count");
        for (size_t i = 0; i < n; ++i)
            check(block[4 + i] == bytes[i], "a data byte is not its token's value");
        for (size_t i = 0; i < block.size(); ++i) {
            if (i != 1 && (i < 4 || i >= 4 + n))
                check(block[i] == static_cast<uint8_t>(0xA5 ^ i), "a byte outside the data was written");
        }
        unsigned sum = requestChecksum(block);
        for (size_t i = 0; i < 4 + n; ++i)
            sum += block[i];
        check(sum % 256 == 0, "the checksum does not make the sum a multiple of 256");
    } catch (const ConsoleDataTooLong &) {
        check(text.size() > kMaxDataText, "a text of 255 characters or fewer refused as too long");
    } catch (const IntegerConversionError &) {
        check(text.size() <= kMaxDataText && !text.isEmpty() && !allConvert, "tokens that convert refused");
    }
}

void replyText(const QByteArray &bytes, uint8_t sentHeader)
{
    ReplyBuffer reply{};
    for (size_t i = 0; i < reply.size() && !bytes.isEmpty(); ++i)
        reply[i] = static_cast<uint8_t>(bytes.at(static_cast<qsizetype>(i) % bytes.size()));
    const QStringList lines = replyLines(reply, sentHeader);
    check(lines.size() == 3, "a reply of other than three lines");
    const int first = sentHeader >= 250 && sentHeader <= 253 ? 5 : 0;
    const int last = reply[1] + 4;
    std::string decimal = "D : ", hexadecimal = "H : ";
    qsizetype characters = 4;
    for (int i = first; i <= last; ++i) {
        char column[16];
        std::snprintf(column, sizeof column, " %4u", reply[i]);
        decimal += column;
        std::snprintf(column, sizeof column, " 0X%02X", reply[i]);
        hexadecimal += column;
        characters += reply[i] == 0 ? 4 : 5;
    }
    check(lines[0].toStdString() == decimal, "the decimal line is not one column a byte");
    check(lines[1].toStdString() == hexadecimal, "the hexadecimal line is not one column a byte");
    check(lines[2].startsWith(QStringLiteral("A : ")) && lines[2].size() == characters,
          "the character line is not one column a byte");
    for (const QString &line : lines)
        check(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')), "a line break in a reply line");
}

void coinIdText(const QString &text)
{
    static constexpr int kIdentifierPlaces[] = {0, 1, 3, 4, 5, 7};
    const QString field = CoinIdField::textOfIdentifier(text);
    check(field.size() == CoinIdField::kPlaces, "a field text of other than eight characters");
    check(field.at(2) == QLatin1Char('_') && field.at(6) == QLatin1Char('_'), "a separator out of place");
    for (int i = 0; i < 6; ++i)
        check(field.at(kIdentifierPlaces[i]) == (i < text.size() ? text.at(i) : QLatin1Char(' ')),
              "an identifier character out of its place");

    const QByteArray identifier = CoinIdField::identifierOfText(text);
    check(identifier.size() == 6, "an identifier of other than six bytes");
    for (int i = 0; i < 6; ++i) {
        const int place = kIdentifierPlaces[i];
        const QChar c = place < text.size() ? text.at(place) : QLatin1Char(' ');
        const char expected = c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '?';
        check(identifier.at(i) == expected, "an identifier byte is not its place's character");
    }
    QString firstSix = text.left(6);
    while (firstSix.size() < 6)
        firstSix += QLatin1Char(' ');
    check(CoinIdField::identifierOfText(field) == firstSix.toLatin1(), "an identifier does not come back whole");
}

bool realDate(int year, int month, int day)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

void dateTexts(uint16_t year, uint16_t month, uint16_t day, const QString &format)
{
    const bool real = realDate(year, month, day);
    try {
        const QString text = dateText(year, month, day, QStringLiteral("yyyy-MM-dd"));
        check(real, "a date that is not real written");
        if (QLocale::system().zeroDigit() == QLatin1Char('0')) {
            char expected[32];
            std::snprintf(expected, sizeof expected, "%04u-%02u-%02u", year, month, day);
            check(text.toStdString() == expected, "the date is written as another date");
        }
        dateText(year, month, day, format);
    } catch (const DateEncodingError &) {
        check(!real, "a real date refused");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 7)
        return 0;
    const uint8_t flags = data[0];
    const auto word = [&](size_t at) { return static_cast<uint16_t>(data[at] | (data[at + 1] << 8)); };
    const QByteArray bytes(reinterpret_cast<const char *>(data + 7), static_cast<qsizetype>(size - 7));
    const QString text = (flags & 1) ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);

    consoleText(text);
    consoleText(trimmedText(text));
    replyText(bytes, static_cast<uint8_t>(flags & 0xFE) >= 0xF8 ? static_cast<uint8_t>(250 + (flags >> 1) % 4)
                                                                 : static_cast<uint8_t>(flags));
    coinIdText(text);
    dateTexts(word(1), word(3), word(5), text);
    // Small numbers far more often than the 16-bit range gives them.
    dateTexts(static_cast<uint16_t>(1990 + data[1] % 40), data[3] % 14, data[5] % 33, text);
    return 0;
}
