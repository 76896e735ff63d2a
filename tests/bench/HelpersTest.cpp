// The window's shared helpers: formats, the error box text, dates, the poll
// timer's logical state, the row names and the lamp pictures.
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

#include "ChannelRows.h"
#include "DateText.h"
#include "DisplayFormat.h"
#include "FakePlatform.h"
#include "HandlerGuard.h"
#include "IntegerText.h"
#include "LampPictures.h"
#include "PollTimer.h"

namespace {

TEST(FormatTest, NumberFormats)
{
    EXPECT_EQ(formatU(0), QStringLiteral("0"));
    EXPECT_EQ(formatU(4294967295u), QStringLiteral("4294967295"));
    EXPECT_EQ(format3u(9), QStringLiteral("  9"));
    EXPECT_EQ(format3u(1234), QStringLiteral("1234"));
    EXPECT_EQ(format3_3u(7), QStringLiteral("007"));
    EXPECT_EQ(format3_3u(1000), QStringLiteral("1000"));
    EXPECT_EQ(format3_3u(4294967295u), QStringLiteral("4294967295"));
    EXPECT_EQ(format2u(0), QStringLiteral(" 0"));
    EXPECT_EQ(format2u(255), QStringLiteral("255"));
    EXPECT_EQ(format5u(13), QStringLiteral("   13"));
}

TEST(FormatTest, CountedTextIsLatin1AndStopsAtItsCount)
{
    CountedString text{};
    text.bytes[0] = 4;
    text.bytes[1] = 'A';
    text.bytes[2] = 0xE9;
    text.bytes[3] = 0;
    text.bytes[4] = 'z';
    text.bytes[5] = 'X';
    EXPECT_EQ(countedText(text), QString::fromUtf8("A\xC3\xA9") + QChar(0) + QStringLiteral("z"));
    text.bytes[0] = 0;
    EXPECT_EQ(countedText(text), QString());
    text.bytes[0] = 255;
    EXPECT_EQ(countedText(text).size(), 255);
}

TEST(ErrorGuardTest, FullStopIsAddedAfterCharactersThatSortAfterIt)
{
    EXPECT_EQ(errorBoxText(QStringLiteral("abc")), QStringLiteral("abc."));
    EXPECT_EQ(errorBoxText(QStringLiteral("'' n'est")), QStringLiteral("'' n'est."));
    EXPECT_EQ(errorBoxText(QStringLiteral("code 7")), QStringLiteral("code 7."));
    EXPECT_EQ(errorBoxText(QStringLiteral("done.")), QStringLiteral("done."));
    EXPECT_EQ(errorBoxText(QStringLiteral("what?")), QStringLiteral("what?."));
    EXPECT_EQ(errorBoxText(QStringLiteral("end!")), QStringLiteral("end!"));
    EXPECT_EQ(errorBoxText(QStringLiteral("a-")), QStringLiteral("a-"));
    EXPECT_EQ(errorBoxText(QString()), QString());
    EXPECT_EQ(errorBoxText(QString::fromUtf8("enti\xC3\xA8")), QString::fromUtf8("enti\xC3\xA8."));
}

TEST(ErrorGuardTest, AnExceptionEndsTheHandlerAndShowsItsText)
{
    FakePlatform platform;
    bool after = false;
    runGuarded(platform, nullptr, [&] {
        readInteger("12 ");
        after = true;
    });
    EXPECT_FALSE(after);
    EXPECT_EQ(platform.errors,
              QStringList{QString::fromUtf8("'12 ' n'est pas une valeur enti\xC3\xA8re correcte.")});
    runGuarded(platform, nullptr, [] { throw std::runtime_error("x"); });
    runGuarded(platform, nullptr, [&] { after = true; });
    EXPECT_TRUE(after);
    EXPECT_EQ(platform.errors.size(), 2);
    EXPECT_EQ(platform.errors.value(1), QStringLiteral("x."));
}

TEST(DateTextTest, RealDatesFollowTheFormat)
{
    EXPECT_EQ(dateText(2019, 3, 15, QStringLiteral("dd/MM/yyyy")), QStringLiteral("15/03/2019"));
    EXPECT_EQ(dateText(2024, 2, 29, QStringLiteral("d.M.yy")), QStringLiteral("29.2.24"));
    EXPECT_EQ(dateText(1, 1, 1, QStringLiteral("yyyy-MM-dd")), QStringLiteral("0001-01-01"));
    EXPECT_EQ(dateText(9999, 12, 31, QStringLiteral("yyyy-MM-dd")), QStringLiteral("9999-12-31"));
}

TEST(DateTextTest, ImpossibleDatesRaiseTheDateError)
{
    const uint16_t triples[][3] = {
        {2019, 3, 0}, {2019, 4, 31}, {2023, 2, 29}, {2019, 0, 1}, {2019, 13, 1}, {0, 1, 1},
        {10000, 1, 1}, {2019, 65535, 1},
    };
    for (const auto &t : triples) {
        SCOPED_TRACE(testing::Message() << t[0] << "-" << t[1] << "-" << t[2]);
        try {
            dateText(t[0], t[1], t[2], QStringLiteral("dd/MM/yyyy"));
            ADD_FAILURE() << "no error";
        } catch (const DateEncodingError &error) {
            EXPECT_STREQ(error.what(), "Argument incorrect pour l'encodage de date");
        }
    }
}

TEST(PollTimerTest, OnIsALogicalStateAndIntervalZeroNeverTicks)
{
    PollTimer timer;
    EXPECT_EQ(timer.objectName(), QStringLiteral("Timer1"));
    EXPECT_FALSE(timer.isOn());
    EXPECT_EQ(timer.interval(), 500);
    timer.setInterval(0);
    timer.setOn(true);
    EXPECT_TRUE(timer.isOn());
    EXPECT_FALSE(timer.isTicking());
    QSignalSpy ticks(&timer, &PollTimer::tick);
    QTest::qWait(30);
    EXPECT_EQ(ticks.count(), 0);
    timer.setInterval(5);
    EXPECT_TRUE(timer.isTicking());
    EXPECT_TRUE(ticks.wait(5000));
    timer.setOn(false);
    EXPECT_FALSE(timer.isTicking());
    timer.setInterval(-1);
    timer.setOn(true);
    EXPECT_TRUE(timer.isOn());
    EXPECT_FALSE(timer.isTicking());
}

TEST(PollTimerTest, TurningOnAgainKeepsThePeriodAndNewIntervalsRestart)
{
    PollTimer timer;
    QSignalSpy ticks(&timer, &PollTimer::tick);
    timer.setInterval(100000);
    timer.setOn(true);
    ASSERT_TRUE(timer.isTicking());
    timer.setOn(true);
    EXPECT_TRUE(timer.isTicking());
    timer.setInterval(1);
    EXPECT_TRUE(ticks.wait(5000));
}

TEST(ChannelRowsTest, RowNames)
{
    EXPECT_EQ(sorterReadName(1), QStringLiteral("Button9"));
    EXPECT_EQ(sorterReadName(2), QStringLiteral("Button10"));
    EXPECT_EQ(sorterReadName(3), QStringLiteral("Button27"));
    EXPECT_EQ(sorterReadName(16), QStringLiteral("Button40"));
    EXPECT_EQ(sorterWriteName(1), QStringLiteral("Button11"));
    EXPECT_EQ(sorterWriteName(3), QStringLiteral("Button13"));
    EXPECT_EQ(sorterWriteName(16), QStringLiteral("Button26"));
    EXPECT_EQ(coinIdReadName(1), QStringLiteral("Button61"));
    EXPECT_EQ(coinIdReadName(16), QStringLiteral("Button76"));
    EXPECT_EQ(coinIdWriteName(1), QStringLiteral("Button45"));
    EXPECT_EQ(coinIdWriteName(16), QStringLiteral("Button60"));
}

TEST(LampPictureTest, OnAndOffLampsDifferAndAreTransparentRound)
{
    for (const LampColour colour : {LampColour::Green, LampColour::Red}) {
        const QImage off = lampPicture(colour, false).toImage();
        const QImage on = lampPicture(colour, true).toImage();
        EXPECT_EQ(off.size(), QSize(15, 15));
        EXPECT_EQ(on.size(), QSize(15, 15));
        EXPECT_NE(off, on);
        // Corners transparent, centre opaque.
        EXPECT_EQ(qAlpha(off.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(on.pixel(14, 14)), 0);
        EXPECT_EQ(qAlpha(on.pixel(7, 7)), 255);
        // A lit lamp is brighter than a dark one.
        EXPECT_GT(qGray(on.pixel(7, 9)), qGray(off.pixel(7, 9)));
        EXPECT_EQ(off, lampPicture(colour, false, 3).toImage()) << "one off picture";
    }
    const QImage green = lampPicture(LampColour::Green, true).toImage();
    const QImage red = lampPicture(LampColour::Red, true).toImage();
    EXPECT_GT(qGreen(green.pixel(7, 10)), qRed(green.pixel(7, 10)));
    EXPECT_GT(qRed(red.pixel(7, 10)), qGreen(red.pixel(7, 10)));
}

} // namespace
