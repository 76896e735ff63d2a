// The "Send a command" group through the window's controls against the
// in-process virtual validator: the request on the wire, "N°" and "CRC", the
// three reply lines, and every way the console says "Command line wrong!".
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "WindowFixture.h"

namespace {

using ::testing::ElementsAre;

const QString kWrong = QStringLiteral("Command line wrong!");

class CommandConsoleTest : public WindowTest
{
protected:
    void SetUp() override { openConnected(); }

    void fill(const QString &to, const QString &header, const QString &data)
    {
        setTextOf(QStringLiteral("LabeledEdit1"), to);
        setTextOf(QStringLiteral("LabeledEdit2"), header);
        setTextOf(QStringLiteral("LabeledEdit3"), data);
    }

    void send() { click(QStringLiteral("BitBtn23")); }

    QString reply() { return control<QPlainTextEdit>(QStringLiteral("Memo1"))->toPlainText(); }
    QStringList replyRows() { return reply().split(QLatin1Char('\n')); }
    QString count() { return text(QStringLiteral("StaticText14")); }
    QString checksum() { return text(QStringLiteral("StaticText16")); }
};

TEST_F(CommandConsoleTest, StartsWithItsInitialTexts)
{
    EXPECT_EQ(text(QStringLiteral("LabeledEdit1")), QStringLiteral("02"));
    EXPECT_EQ(text(QStringLiteral("StaticText14")), QStringLiteral("0"));
    EXPECT_EQ(text(QStringLiteral("StaticText15")), QStringLiteral("1"));
    EXPECT_EQ(text(QStringLiteral("LabeledEdit2")), QStringLiteral("000"));
    EXPECT_EQ(text(QStringLiteral("LabeledEdit3")), QStringLiteral(" "));
    EXPECT_EQ(text(QStringLiteral("StaticText16")), QStringLiteral("0"));
    EXPECT_TRUE(reply().isEmpty());
}

TEST_F(CommandConsoleTest, TheInitialFieldsSendHeaderZeroWithChecksum253)
{
    send();
    EXPECT_EQ(text(QStringLiteral("LabeledEdit3")), QString());
    EXPECT_EQ(count(), QStringLiteral("0"));
    EXPECT_EQ(checksum(), QStringLiteral("253"));
    EXPECT_EQ(hostBytes(), requestFrame(2, 0));
}

TEST_F(CommandConsoleTest, ASimplePollShowsTheAcknowledgementInThreeLines)
{
    fill(QStringLiteral("2"), QStringLiteral("254"), QString());
    send();
    EXPECT_EQ(hostBytes(), requestFrame(2, 254));
    EXPECT_EQ(checksum(), QStringLiteral("255"));
    EXPECT_THAT(replyRows(), ElementsAre(QStringLiteral("D :     1    0    2    0  253"),
                                         QStringLiteral("H :  0X01 0X00 0X02 0X00 0XFD"),
                                         QStringLiteral("A :     \x01        \x02        \u00fd")));
    EXPECT_TRUE(m_platform.messages.isEmpty());
    // The reply is shown from its decimal line and first column.
    auto *area = control<QPlainTextEdit>(QStringLiteral("Memo1"));
    EXPECT_EQ(area->verticalScrollBar()->value(), 0);
    EXPECT_EQ(area->horizontalScrollBar()->value(), 0);
}

TEST_F(CommandConsoleTest, DataTokensGoOnTheWireAsTheirLowBytes)
{
    fill(QStringLiteral("2"), QStringLiteral("209"), QStringLiteral("$FF 0x10 300"));
    send();
    EXPECT_EQ(hostBytes(), requestFrame(2, 209, {255, 16, 44}));
    EXPECT_EQ(count(), QStringLiteral("3"));
    const std::vector<uint8_t> frame = requestFrame(2, 209, {255, 16, 44});
    EXPECT_EQ(checksum(), QString::number(frame.back()));
    // The device refuses the request: its NAK is a reply like any other.
    EXPECT_THAT(replyRows(), ElementsAre(QStringLiteral("D :     1    0    2    5  248"),
                                         QStringLiteral("H :  0X01 0X00 0X02 0X05 0XF8"),
                                         QStringLiteral("A :     \x01        \x02    \x05    \u00f8")));
}

TEST_F(CommandConsoleTest, ANakIsShownAsAReply)
{
    m_sim.device().setFault(ccsim::Fault::Nak);
    fill(QStringLiteral("2"), QStringLiteral("254"), QString());
    send();
    EXPECT_TRUE(m_platform.messages.isEmpty());
    EXPECT_EQ(replyRows().at(1), QStringLiteral("H :  0X01 0X00 0X02 0X05 0XF8"));
}

TEST_F(CommandConsoleTest, TrimsTheDataFieldAndTheDestinationForReading)
{
    fill(QStringLiteral(" 2 "), QStringLiteral("209"), QStringLiteral(" 7 "));
    send();
    EXPECT_EQ(text(QStringLiteral("LabeledEdit3")), QStringLiteral("7"));
    // "To :" is read trimmed but keeps its text.
    EXPECT_EQ(text(QStringLiteral("LabeledEdit1")), QStringLiteral(" 2 "));
    EXPECT_EQ(hostBytes(), requestFrame(2, 209, {7}));
    EXPECT_EQ(replyRows().size(), 3);
}

TEST_F(CommandConsoleTest, TheHeaderFieldTrimsItselfWhenTheFocusLeavesIt)
{
    fill(QStringLiteral("2"), QStringLiteral(" 254 "), QString());
    auto *header = control<QLineEdit>(QStringLiteral("LabeledEdit2"));
    header->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(header->hasFocus());
    // The click takes the focus from the header first.
    send();
    EXPECT_EQ(header->text(), QStringLiteral("254"));
    EXPECT_EQ(hostBytes(), requestFrame(2, 254));
    EXPECT_TRUE(m_platform.messages.isEmpty());
}

TEST_F(CommandConsoleTest, AnUntrimmedHeaderIsWrong)
{
    // The send itself does not trim the header.
    fill(QStringLiteral("2"), QStringLiteral("254 "), QString());
    send();
    EXPECT_THAT(m_platform.messages, ElementsAre(kWrong));
    EXPECT_TRUE(hostBytes().empty());
}

TEST_F(CommandConsoleTest, TwoDevicesAnsweringTheAddressPollGiveTwoColumns)
{
    ccsim::DeviceConfig second;
    second.address = 3;
    m_sim.addDevice(second);
    fill(QStringLiteral("0"), QStringLiteral("253"), QString());
    send();
    EXPECT_EQ(hostBytes(), requestFrame(0, 253));
    EXPECT_EQ(checksum(), QStringLiteral("2"));
    EXPECT_THAT(replyRows(), ElementsAre(QStringLiteral("D :     2    3"), QStringLiteral("H :  0X02 0X03"),
                                         QStringLiteral("A :     \x02    \x03")));
}

TEST_F(CommandConsoleTest, WrongFieldsKeepTheCountsAndSendNothing)
{
    // Counts that differ from the initial ones, so that keeping them shows.
    fill(QStringLiteral("2"), QStringLiteral("209"), QStringLiteral("1 2"));
    send();
    const QString sentChecksum = QString::number(requestFrame(2, 209, {1, 2}).back());
    ASSERT_EQ(count(), QStringLiteral("2"));
    ASSERT_EQ(checksum(), sentChecksum);

    struct Case {
        const char *to;
        const char *header;
        const char *data;
        const char *dataAfter;
    };
    const Case cases[] = {
        {"2", "254", "1  2", "1  2"},   // two blanks: an empty token
        {"2", "254", " 1 a ", "1 a"},   // trimmed before the bad token
        {"two", "254", " 1 ", " 1 "},   // before the data field is trimmed
        {"2", "", " 1 ", " 1 "},
        {"", "254", "1", "1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.data);
        forget();
        fill(QString::fromLatin1(c.to), QString::fromLatin1(c.header), QString::fromLatin1(c.data));
        send();
        EXPECT_THAT(m_platform.messages, ElementsAre(kWrong));
        EXPECT_TRUE(hostBytes().empty());
        EXPECT_TRUE(reply().isEmpty());
        EXPECT_EQ(count(), QStringLiteral("2"));
        EXPECT_EQ(checksum(), sentChecksum);
        EXPECT_EQ(text(QStringLiteral("LabeledEdit3")), QString::fromLatin1(c.dataAfter));
        EXPECT_TRUE(m_platform.errors.isEmpty());
    }
}

TEST_F(CommandConsoleTest, DataOver255CharactersIsRefusedBeforeAnythingIsSent)
{
    fill(QStringLiteral("2"), QStringLiteral("209"), QStringLiteral("1 2 3"));
    send();
    ASSERT_EQ(count(), QStringLiteral("3"));
    forget();

    QString data = QStringLiteral("1");
    while (data.size() < 256)
        data += QStringLiteral(" 1");
    fill(QStringLiteral("2"), QStringLiteral("254"), data);
    send();
    EXPECT_THAT(m_platform.messages, ElementsAre(kWrong));
    EXPECT_TRUE(hostBytes().empty());
    EXPECT_EQ(count(), QStringLiteral("3"));

    // 255 characters are sent: 128 data bytes.
    forget();
    data.chop(2);
    ASSERT_EQ(data.size(), 255);
    fill(QStringLiteral("2"), QStringLiteral("254"), data);
    send();
    EXPECT_EQ(count(), QStringLiteral("128"));
    EXPECT_EQ(hostBytes(), requestFrame(2, 254, std::vector<uint8_t>(128, 1)));
}

TEST_F(CommandConsoleTest, ASilentDeviceShowsTheRequestCountsAndNoReply)
{
    m_sim.device().setFault(ccsim::Fault::Silence);
    fill(QStringLiteral("2"), QStringLiteral("254"), QStringLiteral("1 2"));
    send();
    EXPECT_THAT(m_platform.messages, ElementsAre(kWrong));
    EXPECT_EQ(count(), QStringLiteral("2"));
    EXPECT_EQ(checksum(), QString::number(requestFrame(2, 254, {1, 2}).back()));
    EXPECT_TRUE(reply().isEmpty());
}

TEST_F(CommandConsoleTest, AnEarlierReplyIsClearedByTheNextSend)
{
    fill(QStringLiteral("2"), QStringLiteral("254"), QString());
    send();
    ASSERT_FALSE(reply().isEmpty());
    setTextOf(QStringLiteral("LabeledEdit3"), QStringLiteral("x"));
    send();
    EXPECT_TRUE(reply().isEmpty());
}

TEST_F(CommandConsoleTest, ThePollResumesAfterEveryOutcome)
{
    const std::function<void()> arrange[] = {
        [this] { fill(QStringLiteral("2"), QStringLiteral("254"), QString()); },
        [this] { fill(QStringLiteral("2"), QStringLiteral("254"), QStringLiteral("1  2")); },
        [this] {
            m_sim.device().setFault(ccsim::Fault::Silence);
            fill(QStringLiteral("2"), QStringLiteral("254"), QString());
        },
    };
    for (const auto &prepare : arrange) {
        prepare();
        // The focus elsewhere, the poll on: "Send" pauses it on focus entry.
        control<QWidget>(QStringLiteral("LabeledEdit1"))->setFocus();
        timer().setOn(true);
        send();
        EXPECT_TRUE(timer().isOn());
        EXPECT_EQ(m_platform.sleeps, std::vector<int>{200});
        timer().setOn(false);
        forget();
    }
}

} // namespace
