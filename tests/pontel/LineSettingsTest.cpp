// The terminal attributes built for each line setting.
#include <gtest/gtest.h>

#include "LineSettings.h"

using pontel::LineSettings;
using pontel::makeRawAttributes;

TEST(LineSettings, CharacterFormatAndSpeedAreThoseGiven)
{
    const struct
    {
        LineSettings settings;
        speed_t speed;
        tcflag_t size;
        tcflag_t parityFlags; // of PARENB | PARODD | CMSPAR
        bool twoStopBits;
    } cases[] = {
        {{9600, 8, 0, 1}, B9600, CS8, 0, false},
        {{115200, 7, 2, 2}, B115200, CS7, PARENB, true},
        {{19200, 6, 1, 1}, B19200, CS6, PARENB | PARODD, false},
        {{300, 5, 0, 2}, B300, CS5, 0, true},
        {{4800, 8, 3, 1}, B4800, CS8, PARENB | PARODD | CMSPAR, false},
        {{4000000, 8, 4, 1}, B4000000, CS8, PARENB | CMSPAR, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.settings.baud);
        termios tio{};
        // Start from cooked settings with everything a raw line must drop.
        tio.c_iflag = ICRNL | IXON | IXOFF | ISTRIP | INPCK;
        tio.c_oflag = OPOST | ONLCR;
        tio.c_lflag = ICANON | ECHO | ECHOE | ISIG | IEXTEN;
        tio.c_cflag = CS7 | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL;
        tio.c_cc[VMIN] = 1;
        tio.c_cc[VTIME] = 5;
        ASSERT_TRUE(makeRawAttributes(c.settings, tio));

        EXPECT_EQ(cfgetospeed(&tio), c.speed);
        EXPECT_EQ(cfgetispeed(&tio), c.speed);
        EXPECT_EQ(tio.c_cflag & CSIZE, c.size);
        EXPECT_EQ(tio.c_cflag & (PARENB | PARODD | CMSPAR), c.parityFlags);
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.twoStopBits);
        EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
        EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u);
        EXPECT_EQ(tio.c_iflag & (ICRNL | IXON | IXOFF | ISTRIP | INPCK), 0u);
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(tio.c_cc[VMIN], 0);
        EXPECT_EQ(tio.c_cc[VTIME], 0);
    }
}

TEST(LineSettings, UnsupportedSettingsBuildNothing)
{
    for (const LineSettings &settings : {LineSettings{9601, 8, 0, 1}, LineSettings{9600, 4, 0, 1},
                                         LineSettings{9600, 8, 7, 1}, LineSettings{9600, 8, 0, 0}}) {
        termios tio{};
        tio.c_lflag = ICANON;
        EXPECT_FALSE(makeRawAttributes(settings, tio));
        EXPECT_EQ(tio.c_lflag, tcflag_t(ICANON)); // untouched
    }
}
