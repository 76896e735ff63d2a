#include "ConsoleText.h"

#include "IntegerText.h"

namespace {

constexpr int kDataStart = 4;

bool blankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

// How a reply byte stands in the character line. A zero byte is never
// written as a character (its column is blanks), and the two characters that
// would break the line in the reply area, line feed and carriage return, are
// shown by their control picture symbols so the reply keeps its three lines.
QChar characterOf(uint8_t byte)
{
    if (byte == '\n' || byte == '\r')
        return QChar(0x2400 + byte);
    return QChar::fromLatin1(static_cast<char>(byte));
}

} // namespace

ConsoleDataTooLong::ConsoleDataTooLong()
    : std::runtime_error("The data field holds more than 255 characters")
{
}

QString trimmedText(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && blankOrControl(text.at(first)))
        ++first;
    while (last > first && blankOrControl(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}

uint8_t byteOfText(const QString &text)
{
    return static_cast<uint8_t>(readInteger(text.toStdString()) & 0xFF);
}

void readDataTokens(const QString &data, RequestBlock &block)
{
    block[1] = 0;
    if (data.isEmpty())
        return;
    if (data.size() > kMaxDataText)
        throw ConsoleDataTooLong();
    // At most 128 tokens in 255 characters: the block always has room.
    int write = kDataStart;
    qsizetype start = 0;
    for (qsizetype p = 0; p < data.size(); ++p) {
        if (data.at(p) == QLatin1Char(' ')) {
            block[write++] = byteOfText(data.mid(start, p - start));
            ++block[1];
            start = p + 1;
        }
    }
    block[write] = byteOfText(data.mid(start));
    ++block[1];
}

uint8_t requestChecksum(const RequestBlock &block)
{
    unsigned sum = 0;
    for (int i = 0; i < kDataStart + block[1]; ++i)
        sum += block[i];
    return static_cast<uint8_t>(256 - sum % 256);
}

QStringList replyLines(const ReplyBuffer &reply, uint8_t sentHeader)
{
    const int first = sentHeader >= 250 && sentHeader <= 253 ? 5 : 0;
    const int last = reply[1] + 4; // at most 259, inside the buffer
    QString decimal = QStringLiteral("D : ");
    QString hexadecimal = QStringLiteral("H : ");
    QString characters = QStringLiteral("A : ");
    for (int i = first; i <= last; ++i) {
        const uint8_t byte = reply[i];
        decimal += QString::asprintf(" %4u", byte);
        hexadecimal += QString::asprintf(" 0X%02X", byte);
        if (byte == 0)
            characters += QStringLiteral("    ");
        else
            characters += QStringLiteral("    ") + characterOf(byte);
    }
    return {decimal, hexadecimal, characters};
}
