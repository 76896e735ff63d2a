// A failed command shows on its header label: red, with what happened as its
// tooltip, until the command next succeeds; the displays keep their failure
// values. The busy cursor shows while a command runs.
#include <QApplication>
#include <QLabel>
#include <QTextDocument>

#include <optional>

#include "DisplayFormat.h"
#include "WindowFixture.h"

namespace {

class FailureSignalTest : public WindowTest
{
protected:
    bool failed(const char *label) { return textColour(control<QLabel>(QString::fromLatin1(label))) == kFailureRed; }
    std::string reason(const char *label)
    {
        QTextDocument document;
        document.setHtml(control<QLabel>(QString::fromLatin1(label))->toolTip());
        return document.toPlainText().toStdString();
    }
};

TEST_F(FailureSignalTest, EachFaultIsNamedOnTheCommandsLabelUntilTheCommandSucceeds)
{
    openConnected();
    struct Case
    {
        ccsim::Fault fault;
        const char *button, *label, *reason;
    };
    const Case cases[] = {
        {ccsim::Fault::Silence, "BitBtn2", "Label55", "no reply from address 0 on Com1 (timed out)"},
        {ccsim::Fault::WrongChecksum, "BitBtn14", "HeaderLabel243", "bad reply from address 0 on Com1 (wrong checksum)"},
        {ccsim::Fault::Nak, "BitBtn11", "HeaderLabel246", "address 0 on Com1 refused the request (NAK)"},
        {ccsim::Fault::Busy, "BitBtn19", "HeaderLabel229", "address 0 on Com1 is busy (BUSY)"},
        {ccsim::Fault::TruncatedReply, "Button42", "HeaderLabel196",
         "incomplete reply from address 0 on Com1 (timed out in the middle of it, or the line gives no echo)"},
        {ccsim::Fault::NoEcho, "BitBtn21", "Label78",
         "no echo on Com1: the bytes sent did not come back (is the port on a ccTalk line?)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.button);
        m_sim.device().setFault(c.fault);
        click(QString::fromLatin1(c.button));
        EXPECT_TRUE(failed(c.label));
        EXPECT_EQ(reason(c.label), c.reason);
        m_sim.device().setFault(ccsim::Fault::None);
        click(QString::fromLatin1(c.button));
        EXPECT_FALSE(failed(c.label));
        EXPECT_EQ(reason(c.label), "");
    }
    EXPECT_TRUE(m_platform.errors.isEmpty());
}

TEST_F(FailureSignalTest, ReadAllNamesTheChannelsThatFailed)
{
    openConnected();
    m_sim.device().setFault(ccsim::Fault::Silence);
    click(QStringLiteral("Button77"));
    EXPECT_TRUE(failed("HeaderLabel209"));
    std::string expected;
    for (int n = 1; n <= 4; ++n)
        expected += "channel " + std::to_string(n) + ": no reply from address 0 on Com1 (timed out)\n";
    EXPECT_EQ(reason("HeaderLabel209"), expected + "\u2026");
    EXPECT_FALSE(failed("HeaderLabel210")) << "Write All has its own label";
}

TEST_F(FailureSignalTest, ACommandWithNoPortOpenSaysSoAndInitRecovers)
{
    openWindow();
    click(QStringLiteral("BitBtn2"));
    EXPECT_TRUE(failed("Label55"));
    EXPECT_EQ(reason("Label55"), "no port is open: pick a port and press \"Init\"");
    click(QStringLiteral("Button41"));
    click(QStringLiteral("BitBtn2"));
    EXPECT_FALSE(failed("Label55"));
}

TEST_F(FailureSignalTest, TheBusyCursorShowsWhileACommandRuns)
{
    openConnected();
    std::optional<Qt::CursorShape> during;
    m_platform.onSleep = [&](int) {
        if (const QCursor *cursor = QApplication::overrideCursor())
            during = cursor->shape();
    };
    click(QStringLiteral("BitBtn6")); // "GetAdresse" waits a second after the poll
    ASSERT_TRUE(during.has_value());
    EXPECT_EQ(*during, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "given back afterwards";
}

} // namespace
