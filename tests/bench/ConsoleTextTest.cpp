// The console's text work on its own: trimming, the data tokens and their
// bytes in the request block, the checksum, and the three reply lines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ConsoleText.h"
#include "IntegerText.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::vector<uint8_t> dataOf(const RequestBlock &block)
{
    return {block.begin() + 4, block.begin() + 4 + block[1]};
}

TEST(ConsoleText, TrimsBlanksAndControlCharactersAtBothEndsOnly)
{
    EXPECT_EQ(trimmedText(QStringLiteral(" \t7\x01 ")), QStringLiteral("7"));
    EXPECT_EQ(trimmedText(QStringLiteral("\n 1 2 \r")), QStringLiteral("1 2"));
    EXPECT_EQ(trimmedText(QStringLiteral("   ")), QString());
    // Characters above the blank stay, also a no-break space.
    EXPECT_EQ(trimmedText(QStringLiteral("\u00a07\u00a0")), QStringLiteral("\u00a07\u00a0"));
}

TEST(ConsoleText, KeepsTheLowEightBitsOfEachValue)
{
    EXPECT_EQ(byteOfText(QStringLiteral("$FF")), 255);
    EXPECT_EQ(byteOfText(QStringLiteral("0x10")), 16);
    EXPECT_EQ(byteOfText(QStringLiteral("300")), 44);
    EXPECT_EQ(byteOfText(QStringLiteral("256")), 0);
    EXPECT_EQ(byteOfText(QStringLiteral("-1")), 255);
    EXPECT_EQ(byteOfText(QStringLiteral("  2")), 2);
    EXPECT_THROW(byteOfText(QStringLiteral("2 ")), IntegerConversionError);
    EXPECT_THROW(byteOfText(QString()), IntegerConversionError);
    EXPECT_THROW(byteOfText(QStringLiteral("4294967296")), IntegerConversionError);
}

struct TokenCase {
    const char *data;
    std::vector<uint8_t> bytes;
};

TEST(ConsoleText, ReadsOneByteForEachTokenSeparatedByOneBlank)
{
    const TokenCase cases[] = {
        {"", {}},
        {"7", {7}},
        {"1 2 3", {1, 2, 3}},
        {"$FF 0x10 300", {255, 16, 44}},
        {"-1 X7f $10", {255, 127, 16}},
    };
    for (const TokenCase &c : cases) {
        SCOPED_TRACE(c.data);
        RequestBlock block{};
        block[1] = 99;
        readDataTokens(QString::fromLatin1(c.data), block);
        EXPECT_EQ(block[1], c.bytes.size());
        EXPECT_EQ(dataOf(block), c.bytes);
    }
}

TEST(ConsoleText, AnEmptyTokenOrABadTokenDoesNotConvert)
{
    for (const char *data : {"1  2", "1 2 ", " 1", "1 a", "1 0x", "1,2"}) {
        SCOPED_TRACE(data);
        RequestBlock block{};
        EXPECT_THROW(readDataTokens(QString::fromLatin1(data), block), IntegerConversionError);
    }
}

TEST(ConsoleText, ReadsUpTo255CharactersAndRefusesMore)
{
    // 128 one-digit tokens: the most that 255 characters hold.
    QString longest = QStringLiteral("9");
    while (longest.size() < 255)
        longest += QStringLiteral(" 9");
    ASSERT_EQ(longest.size(), 255);
    RequestBlock block{};
    readDataTokens(longest, block);
    EXPECT_EQ(block[1], 128);
    EXPECT_EQ(block[4 + 127], 9);
    EXPECT_EQ(block[4 + 128], 0);

    RequestBlock untouched{};
    EXPECT_THROW(readDataTokens(longest + QStringLiteral("9"), untouched), ConsoleDataTooLong);
    EXPECT_EQ(untouched, RequestBlock{});
}

TEST(ConsoleText, ChecksumMakesTheSumOfHeadAndDataAMultipleOf256)
{
    RequestBlock block{};
    block = {2, 0, 1, 0};
    EXPECT_EQ(requestChecksum(block), 253);
    block = {2, 0, 1, 254};
    EXPECT_EQ(requestChecksum(block), 255);
    block = {0, 0, 1, 255};
    EXPECT_EQ(requestChecksum(block), 0);
    // Bytes past the data count do not count.
    block = {2, 3, 1, 254, 255, 16, 44, 77};
    EXPECT_EQ(requestChecksum(block), static_cast<uint8_t>(256 - (2 + 3 + 1 + 254 + 255 + 16 + 44) % 256));
}

ReplyBuffer replyOf(std::initializer_list<uint8_t> bytes, int at = 0)
{
    ReplyBuffer reply{};
    std::copy(bytes.begin(), bytes.end(), reply.begin() + at);
    return reply;
}

TEST(ConsoleText, LaysOutAFramedReplyColumnByColumn)
{
    const QStringList lines = replyLines(replyOf({1, 0, 2, 0, 253}), 254);
    EXPECT_THAT(lines, ElementsAre(QStringLiteral("D :     1    0    2    0  253"),
                                   QStringLiteral("H :  0X01 0X00 0X02 0X00 0XFD"),
                                   QStringLiteral("A :     \x01        \x02        \u00fd")));
}

TEST(ConsoleText, ShowsTheCollectedAnswersOfTheAddressHeaders)
{
    ReplyBuffer reply = replyOf({0, 2, 0, 77, 88, 2, 3});
    for (uint8_t header : {250, 251, 252, 253}) {
        SCOPED_TRACE(header);
        EXPECT_THAT(replyLines(reply, header),
                    ElementsAre(QStringLiteral("D :     2    3"), QStringLiteral("H :  0X02 0X03"),
                                QStringLiteral("A :     \x02    \x03")));
    }
    // Any other header shows the buffer from its first byte.
    EXPECT_EQ(replyLines(reply, 249).at(0), QStringLiteral("D :     0    2    0   77   88    2    3"));
    // Nothing collected: the prefixes alone.
    EXPECT_THAT(replyLines(ReplyBuffer{}, 253), ElementsAre(QStringLiteral("D : "), QStringLiteral("H : "),
                                                            QStringLiteral("A : ")));
}

TEST(ConsoleText, CharacterLineKeepsItsColumnsAndItsOneLine)
{
    // A zero byte is four blanks and does not end the line; line feed and
    // carriage return do not break it.
    const QStringList lines = replyLines(replyOf({'A', 0, 'B', '\n', '\r'}), 1);
    ASSERT_EQ(lines.size(), 3);
    const QString characters = lines.at(2);
    EXPECT_EQ(characters, QStringLiteral("A :     A        B    \u240a    \u240d"));
    EXPECT_EQ(characters.size(), 4 + 5 + 4 + 5 + 5 + 5);
}

TEST(ConsoleText, TheLongestReplyStaysInsideTheBuffer)
{
    ReplyBuffer reply{};
    reply.fill(0xAB);
    reply[1] = 255;
    const QStringList lines = replyLines(reply, 0);
    // Bytes 0 to 259: every byte of the buffer, none beyond.
    EXPECT_EQ(lines.at(0).size(), 4 + 5 * 260);
    EXPECT_EQ(lines.at(1).size(), 4 + 5 * 260);
    EXPECT_TRUE(lines.at(1).endsWith(QStringLiteral(" 0XAB")));
}

} // namespace
