// Date decoding, the manufacturing date's range test, and the base year:
// its wait, its conversion and the error that leaves the library.
#include <chrono>

#include "IntegerText.h"
#include "LibraryTestSupport.h"

namespace {

using Reader = CCBool (*)(PortHandle *, uint8_t, uint16_t *, uint16_t *, uint16_t *);

struct DateCase
{
    const char *what;
    Bytes code; // d0, d1
    std::string base;
    uint16_t year, month, day;
    bool manufacturingValid;
};

void PrintTo(const DateCase &c, std::ostream *out)
{
    *out << c.what;
}

class DateDecoding : public LibraryTest, public testing::WithParamInterface<DateCase>
{
protected:
    std::string readWith(Reader read, uint16_t &year, uint16_t &month, uint16_t &day)
    {
        m_port.reset();
        m_port.queue(reply(3, GetParam().code));
        m_port.queue(textReply(3, GetParam().base));
        return values(read(&m_handle, 3, &year, &month, &day));
    }
};

TEST_P(DateDecoding, BothDates)
{
    const DateCase &c = GetParam();
    uint16_t year = 0, month = 0, day = 0;
    EXPECT_EQ(readWith(CCGet_Manufacturing_Date, year, month, day), c.manufacturingValid ? "1" : "0");
    EXPECT_EQ(values(year, month, day), values(c.year, c.month, c.day));
    EXPECT_EQ(m_port.writes()[2], (Bytes{3, 0, 1, 170})) << "base year asked of the same device";

    year = month = day = 0;
    EXPECT_EQ(readWith(CCGet_Modification_Date, year, month, day), "1") << "no range test";
    EXPECT_EQ(values(year, month, day), values(c.year, c.month, c.day));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, DateDecoding,
    testing::Values(DateCase{"15 March, base + 7", {0x6F, 0x0E}, "2000", 2007, 3, 15, true},
                    DateCase{"bits 14 and 15 do not count", {0x6F, 0xCE}, "2000", 2007, 3, 15, true},
                    DateCase{"month 0", {0x01, 0x00}, "2000", 2000, 0, 1, false},
                    DateCase{"month 13", {0xA1, 0x01}, "2000", 2000, 13, 1, false},
                    DateCase{"month 12, day 31, offset 31", {0x9F, 0x3F}, "1990", 2021, 12, 31, true},
                    DateCase{"hexadecimal base", {0x21, 0x00}, "$7D0", 2000, 1, 1, true},
                    DateCase{"year kept to 16 bits", {0x21, 0x02}, "65535", 0, 1, 1, true}));

TEST_F(LibraryTest, FailedDateReplyAsksNoBaseYear)
{
    uint16_t year = 0, month = 0, day = 0;
    m_port.queue(reply(4, {0x6F, 0x0E})); // from another device
    m_port.queue(textReply(3, "2000"));
    EXPECT_FALSE(CCGet_Modification_Date(&m_handle, 3, &year, &month, &day));
    EXPECT_EQ(values(year, month, day), "1900 1 1");
    EXPECT_EQ(m_port.writes().size(), 2u);
}

TEST_F(LibraryTest, BaseYearWaitsHalfASecondBeforeWriting)
{
    m_port.queue(textReply(3, "2000"));
    const auto start = ScriptedPort::Clock::now();
    EXPECT_EQ(CCRequest_Base_Year(&m_handle, 3), 2000);
    ASSERT_FALSE(m_port.writeTimes().empty());
    EXPECT_GE(m_port.writeTimes().front() - start, std::chrono::milliseconds(500));
}

TEST_F(LibraryTest, DateWaitsBetweenItsTwoExchanges)
{
    uint16_t year = 0, month = 0, day = 0;
    m_port.queue(reply(3, {0x6F, 0x0E}));
    m_port.queue(textReply(3, "2000"));
    EXPECT_TRUE(CCGet_Manufacturing_Date(&m_handle, 3, &year, &month, &day));
    ASSERT_EQ(m_port.writeTimes().size(), 4u);
    EXPECT_GE(m_port.writeTimes()[2] - m_port.readTimes()[2], std::chrono::milliseconds(500));
}

struct BaseYearError
{
    const char *what;
    Bytes reply; // empty: no reply at all
    std::string message;
};

void PrintTo(const BaseYearError &c, std::ostream *out)
{
    *out << c.what;
}

class BaseYearErrors : public LibraryTest, public testing::WithParamInterface<BaseYearError>
{
};

TEST_P(BaseYearErrors, RequestThrowsTheConversionError)
{
    const BaseYearError &c = GetParam();
    if (!c.reply.empty())
        m_port.queue(c.reply);
    // Caught here, in another module than the one that threw it, by its type.
    try {
        CCRequest_Base_Year(&m_handle, 3);
        FAIL() << c.what << ": no error";
    } catch (const IntegerConversionError &e) {
        EXPECT_EQ(std::string(e.what()), c.message) << c.what;
    }
}

TEST_P(BaseYearErrors, DateWritesNoOutput)
{
    const BaseYearError &c = GetParam();
    m_port.queue(reply(3, {0x6F, 0x0E}));
    if (!c.reply.empty())
        m_port.queue(c.reply);
    uint16_t year = 7, month = 7, day = 7;
    EXPECT_THROW(CCGet_Manufacturing_Date(&m_handle, 3, &year, &month, &day), IntegerConversionError);
    EXPECT_EQ(values(year, month, day), "7 7 7") << c.what;
}

const std::string notInteger = " n'est pas une valeur enti\xC3\xA8re correcte";

INSTANTIATE_TEST_SUITE_P(
    Texts, BaseYearErrors,
    testing::Values(BaseYearError{"letters", textReply(3, "abc"), "'abc'" + notInteger},
                    BaseYearError{"no data", textReply(3, ""), "''" + notInteger},
                    BaseYearError{"no reply", {}, "''" + notInteger},
                    BaseYearError{"wrong checksum", corrupted(textReply(3, "2000")), "''" + notInteger},
                    BaseYearError{"trailing blank", textReply(3, "2000 "), "'2000 '" + notInteger},
                    BaseYearError{"too large", textReply(3, "2147483648"), "'2147483648'" + notInteger},
                    BaseYearError{"device bytes shown as Latin-1", textReply(3, "\xE9"),
                                  "'\xC3\xA9'" + notInteger}));

TEST_F(LibraryTest, BaseYearErrorKeepsItsText)
{
    m_port.queue(textReply(3, "20O0"));
    try {
        CCRequest_Base_Year(&m_handle, 3);
        FAIL() << "no error";
    } catch (const std::runtime_error &e) {
        const auto *conversion = dynamic_cast<const IntegerConversionError *>(&e);
        ASSERT_NE(conversion, nullptr);
        EXPECT_EQ(conversion->text(), "20O0");
    }
}

} // namespace
