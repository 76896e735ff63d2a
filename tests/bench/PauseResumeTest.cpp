// The pause of the repeating poll when a command button takes the focus, and
// the resume step at the end of every command.
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "WindowFixture.h"

namespace {

using ::testing::ElementsAre;

class PauseResumeTest : public WindowTest
{
protected:
    void SetUp() override { openConnected(); }

    void showOtherPage()
    {
        auto *pages = control<QTabWidget>(QStringLiteral("PageControl1"));
        pages->setCurrentIndex(1 - pages->currentIndex());
    }
};

TEST_F(PauseResumeTest, ClickWhilePollingPausesWaitsAndResumes)
{
    timer().setOn(true);
    click(QStringLiteral("BitBtn10"));
    EXPECT_THAT(m_platform.sleeps, ElementsAre(200));
    EXPECT_TRUE(m_form->pollRunning());
    EXPECT_TRUE(timer().isOn());
    EXPECT_EQ(text(QStringLiteral("Label4")), QStringLiteral("Ok"));
}

TEST_F(PauseResumeTest, ClickWhileStoppedWaitsZeroAndStaysStopped)
{
    click(QStringLiteral("BitBtn10"));
    EXPECT_THAT(m_platform.sleeps, ElementsAre(0));
    EXPECT_FALSE(m_form->pollRunning());
    EXPECT_FALSE(timer().isOn());
}

TEST_F(PauseResumeTest, FocusPausesBeforeTheClickIsHandled)
{
    timer().setOn(true);
    auto *status = control<QPushButton>(QStringLiteral("BitBtn10"));
    QTest::mousePress(status, Qt::LeftButton);
    EXPECT_FALSE(timer().isOn());
    EXPECT_TRUE(m_form->pollRunning());
    EXPECT_TRUE(hostBytes().empty());
    QTest::mouseRelease(status, Qt::LeftButton);
    EXPECT_FALSE(hostBytes().empty());
    EXPECT_TRUE(timer().isOn());
}

TEST_F(PauseResumeTest, ClickingTheFocusedButtonAgainDoesNotPauseAgain)
{
    click(QStringLiteral("BitBtn10"));
    timer().setOn(true);
    m_platform.clear();
    click(QStringLiteral("BitBtn10"));
    EXPECT_TRUE(m_platform.sleeps.empty());
    // The flag stored at the first focus entry (false) decides.
    EXPECT_FALSE(timer().isOn());
}

TEST_F(PauseResumeTest, TabToAnotherButtonThenSpaceLeavesThePollStopped)
{
    timer().setOn(true);
    control<QWidget>(QStringLiteral("BitBtn10"))->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(m_form->pollRunning());
    EXPECT_FALSE(timer().isOn());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget *next = QApplication::focusWidget();
    ASSERT_NE(next, nullptr);
    ASSERT_NE(next->objectName(), QStringLiteral("BitBtn10"));
    ASSERT_TRUE(m_form->pausesOnFocus(next)) << next->objectName().toStdString();
    // The second entry found the timer off and stored false.
    EXPECT_FALSE(m_form->pollRunning());
    EXPECT_THAT(m_platform.sleeps, ElementsAre(200, 0));

    m_sim.clearRecords();
    QTest::keyClick(next, Qt::Key_Space);
    EXPECT_FALSE(hostBytes().empty()) << "the space bar ran the command";
    EXPECT_FALSE(timer().isOn());
    EXPECT_FALSE(m_form->pollRunning());
}

TEST_F(PauseResumeTest, PageChangeRestartsAPausedPoll)
{
    timer().setOn(true);
    control<QWidget>(QStringLiteral("BitBtn11"))->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(timer().isOn());
    showOtherPage();
    EXPECT_TRUE(timer().isOn());
}

TEST_F(PauseResumeTest, ClickOnTheOtherTabRestartsAPausedPoll)
{
    timer().setOn(true);
    click(QStringLiteral("BitBtn11"));
    control<QWidget>(QStringLiteral("BitBtn12"))->setFocus(Qt::TabFocusReason);
    control<QWidget>(QStringLiteral("BitBtn11"))->setFocus(Qt::MouseFocusReason);
    timer().setOn(true);
    control<QWidget>(QStringLiteral("BitBtn13"))->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(m_form->pollRunning());
    ASSERT_FALSE(timer().isOn());
    QTabBar *tabs = control<QTabWidget>(QStringLiteral("PageControl1"))->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_EQ(control<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), 1);
    EXPECT_TRUE(m_form->pollRunning());
    EXPECT_TRUE(timer().isOn());
    // And back: the flag still holds.
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_EQ(control<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), 0);
    EXPECT_TRUE(timer().isOn());
}

TEST_F(PauseResumeTest, FocusMovedByQtDuringAHandlerDoesNotPause)
{
    timer().setOn(true);
    auto *button = control<QWidget>(QStringLiteral("BitBtn11"));
    button->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(m_form->pollRunning());
    m_form->guarded([&] {
        // Disabling the focused button moves the focus to the next one.
        button->setEnabled(false);
        m_form->resumePoll();
    });
    EXPECT_NE(QApplication::focusWidget(), button);
    EXPECT_TRUE(m_form->pollRunning());
    EXPECT_TRUE(timer().isOn());
    button->setEnabled(true);
}

TEST_F(PauseResumeTest, PageChangeStopsThePollWhenTheFlagIsFalse)
{
    timer().setOn(true);
    showOtherPage();
    EXPECT_FALSE(timer().isOn());
}

TEST_F(PauseResumeTest, InitWhilePollingTurnsTheTimerOffAndKeepsTheFlag)
{
    timer().setOn(true);
    click(QStringLiteral("BitBtn10")); // the flag now holds true
    ASSERT_TRUE(timer().isOn());
    click(QStringLiteral("Button41"));
    EXPECT_FALSE(timer().isOn());
    EXPECT_TRUE(m_form->pollRunning());
    // Showing the other page restarts the poll.
    showOtherPage();
    EXPECT_TRUE(timer().isOn());

    // Again, but now a command button takes the focus first: it stores false.
    click(QStringLiteral("Button41"));
    ASSERT_FALSE(timer().isOn());
    showOtherPage(); // back to page "Group 1"; the poll restarts
    click(QStringLiteral("Button41"));
    ASSERT_TRUE(m_form->pollRunning());
    click(QStringLiteral("BitBtn13"));
    EXPECT_FALSE(m_form->pollRunning());
    EXPECT_FALSE(timer().isOn());
}

TEST_F(PauseResumeTest, ButtonsWithoutTheFocusHandlerDoNotPause)
{
    timer().setOn(true);
    for (const char *name : {"Button77", "Button78", "Button79", "BitBtn24", "BitBtn1"}) {
        SCOPED_TRACE(name);
        QWidget *button = control<QWidget>(QString::fromLatin1(name));
        // Show the button's page first, so that it can take the focus.
        auto *pages = control<QTabWidget>(QStringLiteral("PageControl1"));
        for (int page = 0; page < pages->count(); ++page) {
            if (pages->widget(page)->isAncestorOf(button))
                pages->setCurrentIndex(page);
        }
        timer().setOn(true);
        button->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(button->hasFocus());
        EXPECT_TRUE(timer().isOn());
    }
    EXPECT_TRUE(m_platform.sleeps.empty());
}

TEST_F(PauseResumeTest, AnErrorEndsTheHandlerBeforeItsResumeStep)
{
    m_sim.device().config().creationDate = ccsim::dateCode(2019, 3, 0, 2000);
    timer().setOn(true);
    click(QStringLiteral("Button42"));
    EXPECT_EQ(m_platform.errors,
              QStringList{QStringLiteral("Argument incorrect pour l'encodage de date.")});
    EXPECT_TRUE(m_form->pollRunning());
    EXPECT_FALSE(timer().isOn()) << "the poll stays paused";
    EXPECT_EQ(text(QStringLiteral("Label6")), QString());
}

} // namespace
