#include <gtest/gtest.h>

#include "IntegerText.h"

namespace {

struct Accepted
{
    const char *text;
    int32_t value;
};

class IntegerAccepted : public testing::TestWithParam<Accepted>
{
};

TEST_P(IntegerAccepted, ReadsTheValue)
{
    EXPECT_EQ(readInteger(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, IntegerAccepted,
                         testing::Values(Accepted{"0", 0}, Accepted{"    500", 500}, Accepted{"+7", 7},
                                         Accepted{"-1", -1}, Accepted{"$FF", 255}, Accepted{"0x10", 16},
                                         Accepted{"0X1f", 31}, Accepted{"x10", 16}, Accepted{"X10", 16},
                                         Accepted{"-$10", -16}, Accepted{"300", 300}, Accepted{"007", 7},
                                         Accepted{"2147483647", 2147483647},
                                         Accepted{"-2147483648", INT32_MIN},
                                         Accepted{"$7FFFFFFF", 2147483647}));

class IntegerRefused : public testing::TestWithParam<const char *>
{
};

TEST_P(IntegerRefused, ThrowsWithTheFrenchText)
{
    const std::string text = GetParam();
    try {
        readInteger(text);
        FAIL() << "accepted '" << text << "'";
    } catch (const IntegerConversionError &e) {
        EXPECT_EQ(std::string(e.what()), "'" + text + "' n'est pas une valeur enti\xC3\xA8re correcte");
        EXPECT_EQ(e.text(), text);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, IntegerRefused,
                         testing::Values("", " ", "500 ", "abc", "1a", "$", "0x", "x", "-", "+",
                                         "2147483648", "-2147483649", "$80000000", "1 2", "\t5",
                                         "99999999999999999999", "1.5", "--1", "$-1"));

TEST(IntegerText, TryReadLeavesTheValueOnFailure)
{
    int32_t value = 42;
    EXPECT_FALSE(tryReadInteger("4x", value));
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(tryReadInteger("$ff", value));
    EXPECT_EQ(value, 255);
}

TEST(IntegerText, Latin1BecomesUtf8)
{
    EXPECT_EQ(latin1ToUtf8("abc"), "abc");
    EXPECT_EQ(latin1ToUtf8(std::string("\xE9", 1)), "\xC3\xA9");
    EXPECT_EQ(latin1ToUtf8(std::string("\x00\xFF", 2)), std::string("\x00\xC3\xBF", 3));
}

} // namespace
