// The window on a line paced at 9600 baud: the real Pontel on the ccsim
// program's pseudo-terminal, bytes taking their real time on the wire. What
// a fast test or a device fault leaves on the line must not spoil the
// commands that follow.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/ioctl.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "CcsimProcess.h"
#include "FakePlatform.h"
#include "First.h"
#include "PollTimer.h"

namespace {

const QString kSerialNumber = QStringLiteral("1234567");

class PacedLineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_ccsim = std::make_unique<CcsimProcess>(std::vector<std::string>{});
        ASSERT_TRUE(m_ccsim->started());
        ::setenv("PONTEL_COM1", m_ccsim->path().c_str(), 1);
        m_form = std::make_unique<TMainForm>(m_platform);
        m_form->show();
        QApplication::setActiveWindow(m_form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
        click("Button41"); // "Init": Com1
        ASSERT_TRUE(m_platform.messages.isEmpty());
        click("BitBtn5"); // "SimplePool": the device's address
        ASSERT_EQ(m_form->currentAddress(), 2);
    }
    void TearDown() override
    {
        m_form.reset();
        ::unsetenv("PONTEL_COM1");
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
        int waiting = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            if (::ioctl(m_form->portHandle(), FIONREAD, &waiting) == 0 && waiting >= count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    std::unique_ptr<CcsimProcess> m_ccsim;
    FakePlatform m_platform;
    std::unique_ptr<TMainForm> m_form;
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
        EXPECT_EQ(serialNumberShown(), kSerialNumber);
    }
}

// A reply that comes after the library gave up waiting for it stays in the
// port until the next command, which drops it before it asks.
TEST_F(PacedLineTest, ALateReplyIsNotTakenForTheNextCommandsAnswer)
{
    setFault("late");
    click("BitBtn2");
    ASSERT_EQ(serialNumberShown(), QStringLiteral("4294967295"));
    setFault("none");
    ASSERT_TRUE(waitForUnreadBytes(8)); // the late reply

    click("BitBtn2");
    EXPECT_EQ(serialNumberShown(), kSerialNumber);
}

// Noise ahead of a reply pushes its tail past what the library reads; the
// next tick of the poll starts on a clean line all the same.
TEST_F(PacedLineTest, NoiseLeftByAFaultDoesNotSpoilTheNextPollTick)
{
    click("BitBtn1"); // "Start" of the poll
    setFault("garbage");
    click("BitBtn2"); // paused for the command, then running again
    ASSERT_EQ(serialNumberShown(), QStringLiteral("4294967295"));
    setFault("none");
    ASSERT_TRUE(waitForUnreadBytes(3)); // the reply's last three bytes

    const std::string said = m_ccsim->control("coin 3");
    ASSERT_NE(said.find("credited"), std::string::npos) << said;
    PollTimer &timer = m_form->pollTimer();
    ASSERT_TRUE(timer.isTicking());
    emit timer.tick();
    auto *grid = control<QTableWidget>("StringGrid1");
    EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral(" 1"));
    EXPECT_EQ(grid->item(1, 1)->text(), QStringLiteral("    3"));
}

} // namespace
