// The event poll and the fast test on a real port: the real Pontel opens the
// ccsim program's line (its pseudo-terminal as Com1 on Linux, a COM port of
// Wine's on Windows), the window's raw port access is the real one, and coins are inserted and faults switched
// through ccsim's control. On the paced line bytes take their real time on
// the wire: what a fast test or a device fault leaves on it must not spoil
// the commands that follow.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "CcsimLine.h"
#include "DisplayFormat.h"
#include "FakePlatform.h"
#include "First.h"
#include "PollTimer.h"

namespace {

class PanelEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_ccsim = std::make_unique<CcsimLine>(pacing());
        ASSERT_TRUE(m_ccsim->started());
        m_form = std::make_unique<TMainForm>(m_platform);
        m_form->show();
        QApplication::setActiveWindow(m_form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
        auto *ports = control<QComboBox>("ComboBox1");
        const int line = ports->findText(m_ccsim->portText());
        ASSERT_GE(line, 0) << "the line's port is listed";
        ports->setCurrentIndex(line);
        click("Button41"); // "Init": the line's port
        ASSERT_TRUE(m_platform.messages.isEmpty());
        click("BitBtn5"); // "SimplePool": the device's address
        ASSERT_EQ(m_form->currentAddress(), 2);
    }
    void TearDown() override
    {
        m_form.reset();
        m_ccsim.reset();
    }

    template <typename Control>
    Control *control(const char *name)
    {
        auto *found = m_form->findChild<Control *>(QString::fromLatin1(name));
        if (!found)
            throw std::runtime_error(std::string("no control ") + name);
        return found;
    }
    void click(const char *name) { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }
    QString cell(int row, int column)
    {
        return control<QTableWidget>("StringGrid1")->item(row, column)->text();
    }
    QString serialNumberShown() { return control<QLabel>("StaticText1")->text(); }
    void setFault(const std::string &name)
    {
        const std::string said = m_ccsim->control("fault " + name);
        ASSERT_NE(said.find(name), std::string::npos) << said;
    }
    // Waits until at least count bytes that no command asked for have
    // reached the window's port (bounded, for a device that sends nothing).
    bool waitForUnreadBytes(int count)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (std::chrono::steady_clock::now() < deadline) {
            if (CcsimLine::unreadBytes(m_form->portHandle()) >= count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    virtual CcsimLine::Pacing pacing() const { return CcsimLine::Pacing::Off; }

    std::unique_ptr<CcsimLine> m_ccsim;
    FakePlatform m_platform;
    std::unique_ptr<TMainForm> m_form;
};

TEST_F(PanelEndToEndTest, CoinsShowUpInTheGridOnTheRepeatingPoll)
{
    click("BitBtn1"); // "Start"
    PollTimer &timer = m_form->pollTimer();
    const int channels[] = {3, 9, 14};
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        const std::string said = m_ccsim->control("coin " + std::to_string(channels[n]));
        ASSERT_NE(said.find("credited"), std::string::npos) << said;
        ASSERT_TRUE(timer.isTicking());
        emit timer.tick();
        EXPECT_EQ(cell(0, 0), QString::asprintf("%2d", n + 1));
        EXPECT_EQ(cell(1, 1), QString::asprintf("%5d", channels[n]));
        if (n > 0) {
            EXPECT_EQ(cell(2, 1), QString::asprintf("%5d", channels[n - 1]));
        }
    }
    EXPECT_TRUE(m_platform.errors.isEmpty());
}

TEST_F(PanelEndToEndTest, TheCountersReadBackAfterTheFastTest)
{
    control<QSpinBox>("SpinEdit17")->setValue(100); // 15 requests: 1.5 s of the clock
    control<QSpinBox>("SpinEdit18")->setValue(1);
    click("BitBtn25");
    ASSERT_EQ(control<QLabel>("Label52")->text(), QStringLiteral("Finish"));

    // The requests the test left unanswered or half read are not taken for
    // the echo and reply of the next command.
    for (const char *box : {"StaticText11", "StaticText12", "StaticText13"})
        control<QLabel>(box)->setText(QStringLiteral("x"));
    click("BitBtn21"); // "Read" of "Comms"
    for (const char *box : {"StaticText11", "StaticText12", "StaticText13"}) {
        bool number = false;
        control<QLabel>(box)->text().toUInt(&number);
        EXPECT_TRUE(number) << box;
    }
    click("BitBtn2"); // "Serial Number"
    EXPECT_EQ(control<QLabel>("StaticText1")->text(), QStringLiteral("1234567"));
}

// The line going away (an adapter unplugged) is told apart from a device
// that does not answer.
TEST_F(PanelEndToEndTest, ACommandAfterTheLineWentAwaySaysSo)
{
#ifdef _WIN32
    GTEST_SKIP() << "the Wine suite's ccsim is served by its runner and outlives the test";
#endif
    m_ccsim.reset();
    click("BitBtn2");
    auto *label = control<QLabel>("Label55");
    EXPECT_EQ(textColour(label), kFailureRed);
    EXPECT_NE(label->toolTip().indexOf(QStringLiteral("stopped working")), -1) << label->toolTip().toStdString();
}

// ccsim's default line: bytes paced at 9600 baud.
class PacedLineTest : public PanelEndToEndTest
{
protected:
    CcsimLine::Pacing pacing() const override { return CcsimLine::Pacing::On; }
};

// The platform's clock moves with the window's sleeps only, so the test
// writes its requests as fast as the port takes them: each must still be
// on the wire before the next one goes out, and after "Finish" the line
// carries nothing more.
TEST_F(PacedLineTest, AfterAFastTestWithAShortGapTheNextCommandIsAnswered)
{
    for (int gap : {1, 2}) {
        SCOPED_TRACE(gap);
        control<QSpinBox>("SpinEdit17")->setValue(gap);
        control<QSpinBox>("SpinEdit18")->setValue(1);
        click("BitBtn25");
        ASSERT_EQ(control<QLabel>("Label52")->text(), QStringLiteral("Finish"));

        control<QLabel>("StaticText1")->setText(QStringLiteral("x"));
        click("BitBtn2"); // "Serial Number"
        EXPECT_EQ(serialNumberShown(), QStringLiteral("1234567"));
    }
}

// A reply that comes after the library gave up waiting for it is let come
// and dropped before the window takes the next command; the failed command
// says so on its header label until it next succeeds.
TEST_F(PacedLineTest, ALateReplyIsNotTakenForTheNextCommandsAnswer)
{
    setFault("late");
    click("BitBtn2");
    ASSERT_EQ(serialNumberShown(), QStringLiteral("4294967295"));
    auto *label = control<QLabel>("Label55");
    EXPECT_EQ(textColour(label), kFailureRed);
    EXPECT_NE(label->toolTip().indexOf(QStringLiteral("no reply from address 2 on Com")), -1) << label->toolTip().toStdString();
    setFault("none");
    EXPECT_EQ(CcsimLine::unreadBytes(m_form->portHandle()), 0) << "the late reply was dropped";

    click("BitBtn2");
    EXPECT_EQ(serialNumberShown(), QStringLiteral("1234567"));
    EXPECT_NE(textColour(label), kFailureRed);
    EXPECT_TRUE(label->toolTip().isEmpty());
}

// Noise ahead of a reply pushes its tail past what the library reads; the
// garbled reply fails its check, the line is let settle, and the next tick
// of the poll starts on a clean line.
TEST_F(PacedLineTest, NoiseLeftByAFaultDoesNotSpoilTheNextPollTick)
{
    click("BitBtn1"); // "Start" of the poll
    setFault("garbage");
    click("BitBtn2"); // paused for the command, then running again
    ASSERT_EQ(serialNumberShown(), QStringLiteral("4294967295"));
    EXPECT_EQ(textColour(control<QLabel>("Label55")), kFailureRed);
    setFault("none");
    EXPECT_EQ(CcsimLine::unreadBytes(m_form->portHandle()), 0) << "the reply's tail was dropped";

    const std::string said = m_ccsim->control("coin 3");
    ASSERT_NE(said.find("credited"), std::string::npos) << said;
    PollTimer &timer = m_form->pollTimer();
    ASSERT_TRUE(timer.isTicking());
    emit timer.tick();
    EXPECT_EQ(cell(0, 0), QStringLiteral(" 1"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("    3"));
    EXPECT_NE(textColour(control<QLabel>("HeaderLabel229")), kFailureRed);
}

} // namespace
