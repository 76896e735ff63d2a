// C callers of the date exports stay safe through the README's guard, also
// when the device has no header 170.
#include "DateGuard.h"
#include "LibraryTestSupport.h"

TEST_F(LibraryTest, CCallerOfTheDatesSurvivesADeviceWithoutBaseYear)
{
    const struct
    {
        const char *what;
        Bytes baseYearReply; // empty: no answer at all
        std::string shown;
    } cases[] = {
        {"base year given", textReply(3, "2000"), "2007-03-15"},
        {"header 170 refused", message(1, 3, 5), "no base year"},
        {"no answer to header 170", {}, "no base year"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        m_port.reset();
        m_port.queue(reply(3, {0x6F, 0x0E}));
        if (!c.baseYearReply.empty())
            m_port.queue(c.baseYearReply);
        char text[24] = {};
        EXPECT_EQ(std::string(cModificationDate(&m_handle, 3, text)), c.shown);
    }

    m_port.reset();
    m_port.queue(reply(3, {0x6F, 0x0E}));
    m_port.queue(message(1, 3, 5));
    uint16_t year = 7, month = 7, day = 7;
    EXPECT_EQ(SafeManufacturingDate(&m_handle, 3, &year, &month, &day), -1);
    EXPECT_EQ(values(year, month, day), "7 7 7") << "outputs not written";
    m_port.reset();
    int32_t base = 0;
    EXPECT_EQ(SafeBaseYear(&m_handle, 3, &base), -1);
    m_port.queue(textReply(3, "1990"));
    EXPECT_EQ(SafeBaseYear(&m_handle, 3, &base), 1);
    EXPECT_EQ(base, 1990);
}
