// The event buffer, the repeating poll with its lamp and interval field, and
// the master inhibit read, driven through the window's controls against the
// in-process virtual validator. Ticks are fired by the test, only when the
// poll timer would tick.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "PanelTestSupport.h"
#include "PollTimer.h"
#include "ScriptedPort.h"

using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint8_t kDevice = 2;

// The grid's 18 cells, row by row.
std::vector<QString> gridTexts(PanelWindow &window)
{
    auto *grid = window.control<QTableWidget>("StringGrid1");
    std::vector<QString> texts;
    for (int row = 0; row < grid->rowCount(); ++row) {
        for (int column = 0; column < grid->columnCount(); ++column)
            texts.push_back(grid->item(row, column)->text());
    }
    return texts;
}

// What the grid shows for a counter and five pairs.
std::vector<QString> expectedGrid(const QString &counter, const std::vector<QString> &pairs)
{
    std::vector<QString> texts{counter, "Canali", "Separ."};
    for (int k = 1; k <= 5; ++k) {
        texts.push_back(QStringLiteral(" %1").arg(k));
        texts.push_back(pairs[2 * (k - 1)]);
        texts.push_back(pairs[2 * (k - 1) + 1]);
    }
    return texts;
}

const std::vector<QString> kZeroPairs(10, QStringLiteral("    0"));

enum class PollState { Stopped, Running, Paused };

// The poll's state from the timer and the flag; the lamp separately.
PollState pollState(PanelWindow &window)
{
    const bool on = window.form().pollTimer().isOn();
    const bool flag = window.form().pollRunning();
    EXPECT_FALSE(on && !flag) << "timer on with the flag clear";
    return on ? PollState::Running : flag ? PollState::Paused : PollState::Stopped;
}

bool lampLit(PanelWindow &window)
{
    const bool offShown = !window.control<QLabel>("Image25")->isHidden();
    const bool onShown = !window.control<QLabel>("Image26")->isHidden();
    EXPECT_NE(offShown, onShown);
    return onShown;
}

int bufferReads(PanelWindow &window)
{
    int reads = 0;
    for (const Bytes &request : window.requests())
        reads += request == requestFrame(kDevice, 229);
    return reads;
}

} // namespace

// ---- The grid ---------------------------------------------------------------

TEST(EventGridTest, TitlesAtStartAndNumbersOnlyAfterTheFirstRead)
{
    PanelWindow window;
    std::vector<QString> atStart(18);
    atStart[1] = "Canali";
    atStart[2] = "Separ.";
    EXPECT_EQ(gridTexts(window), atStart);

    window.takeDeviceAddress();
    window.click("BitBtn19");
    EXPECT_EQ(window.requests(), std::vector<Bytes>{requestFrame(kDevice, 229)});
    // A device fresh from power-up: counter 0, no events.
    EXPECT_EQ(gridTexts(window), expectedGrid(" 0", kZeroPairs));
}

TEST(EventGridTest, ShowsTheCounterAndThePairsNewestFirst)
{
    PanelWindow window;
    window.takeDeviceAddress();
    ccsim::Device &device = window.sim.device();
    device.raiseError(13);             // (0, 13)
    ASSERT_TRUE(device.insertCoin(3)); // (3, 1): channel 3 sorts to path 1
    window.click("BitBtn19");
    std::vector<QString> pairs{"    3", "    1", "    0", "   13"};
    pairs.resize(10, QStringLiteral("    0"));
    EXPECT_EQ(gridTexts(window), expectedGrid(" 2", pairs));
}

TEST(EventGridTest, ACounterOf255FillsItsCell)
{
    PanelWindow window;
    window.takeDeviceAddress();
    for (int coin = 0; coin < 255; ++coin)
        window.sim.device().insertCoin(14); // (14, 4)
    window.click("BitBtn19");
    const std::vector<QString> grid = gridTexts(window);
    EXPECT_EQ(grid[0], "255");
    EXPECT_EQ(grid[4], "   14");
    EXPECT_EQ(grid[5], "    4");
}

TEST(EventGridTest, AFailedReadShowsAZeroCounterAndZeroPairs)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.sim.device().insertCoin(7);
    window.click("BitBtn19");
    ASSERT_EQ(gridTexts(window)[0], " 1");

    window.sim.device().setFault(ccsim::Fault::WrongChecksum);
    window.click("BitBtn19");
    EXPECT_EQ(gridTexts(window), expectedGrid(" 0", kZeroPairs));
    EXPECT_TRUE(window.platform.messages.empty());
}

TEST(EventGridTest, AShortReplyShowsZerosForTheBytesThatDidNotCome)
{
    PanelWindow window(false);
    ScriptedPort port;
    ScopedPortBackend installed(port);
    window.click("Button41"); // Com1 on the scripted port; its serial number read fails
    ASSERT_GT(window.form().portHandle(), 0);

    // A full reply first, then one with a counter and one pair only.
    Bytes full{1, 11, 2, 0, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    full.push_back(checksumFor(full));
    port.reset();
    port.queue(full);
    window.click("BitBtn19");
    ASSERT_EQ(gridTexts(window),
              expectedGrid(" 9", {"    1", "    2", "    3", "    4", "    5", "    6", "    7",
                                  "    8", "    9", "   10"}));

    Bytes shortReply{1, 3, 2, 0, 4, 5, 1};
    shortReply.push_back(checksumFor(shortReply));
    port.queue(shortReply);
    window.click("BitBtn19");
    std::vector<QString> pairs{"    5", "    1"};
    pairs.resize(10, QStringLiteral("    0"));
    EXPECT_EQ(gridTexts(window), expectedGrid(" 4", pairs));
}

// ---- The repeating poll -------------------------------------------------------

TEST(RepeatingPollTest, StartsStoppedWithTheLampOff)
{
    PanelWindow window;
    EXPECT_EQ(pollState(window), PollState::Stopped);
    EXPECT_FALSE(lampLit(window));
    EXPECT_EQ(window.form().pollTimer().interval(), 500);
    EXPECT_EQ(window.control<QLineEdit>("Edit1")->text(), "    500");
    EXPECT_FALSE(window.tick());
}

TEST(RepeatingPollTest, EveryTickReadsTheBufferAndFlipsTheLamp)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.click("BitBtn1"); // "Start"
    EXPECT_EQ(pollState(window), PollState::Running);
    EXPECT_TRUE(lampLit(window));
    EXPECT_TRUE(window.platform.sleeps.empty()); // "Start" does not pause

    const bool expectedLamp[] = {false, true, false, true};
    for (int tick = 0; tick < 4; ++tick) {
        ASSERT_TRUE(window.tick());
        EXPECT_EQ(lampLit(window), expectedLamp[tick]) << tick;
        EXPECT_EQ(bufferReads(window), tick + 1);
        EXPECT_EQ(pollState(window), PollState::Running);
    }
    EXPECT_EQ(gridTexts(window), expectedGrid(" 0", kZeroPairs));
}

TEST(RepeatingPollTest, StartAndStopFromEveryState)
{
    PanelWindow window;
    window.takeDeviceAddress();

    window.click("BitBtn24"); // "Stop" while stopped
    EXPECT_EQ(pollState(window), PollState::Stopped);
    EXPECT_FALSE(lampLit(window));

    window.click("BitBtn1");
    ASSERT_TRUE(window.tick()); // lamp off
    window.click("BitBtn1");    // "Start" while running: lamp on again
    EXPECT_EQ(pollState(window), PollState::Running);
    EXPECT_TRUE(lampLit(window));
    EXPECT_TRUE(window.form().pollTimer().isTicking());

    window.click("BitBtn24");
    EXPECT_EQ(pollState(window), PollState::Stopped);
    EXPECT_FALSE(lampLit(window));
    EXPECT_FALSE(window.tick());

    // Paused, then "Stop" and "Start".
    window.click("BitBtn1");
    window.focus("Button8");
    ASSERT_EQ(pollState(window), PollState::Paused);
    window.click("BitBtn24");
    EXPECT_EQ(pollState(window), PollState::Stopped);
    EXPECT_FALSE(lampLit(window));
    window.focus("Button8");
    window.click("BitBtn1"); // Paused to running goes through "Start" as well
    window.focus("Button3");
    ASSERT_EQ(pollState(window), PollState::Paused);
    window.click("BitBtn1");
    EXPECT_EQ(pollState(window), PollState::Running);
    EXPECT_TRUE(lampLit(window));
    EXPECT_EQ(bufferReads(window), 1);
}

TEST(RepeatingPollTest, ACommandPausesThePollWithItsWaitAndResumesIt)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.click("BitBtn1");
    ASSERT_TRUE(window.tick()); // lamp off

    window.platform.clearRecords();
    window.focus("Button8"); // "GetMaster" takes the focus
    EXPECT_EQ(pollState(window), PollState::Paused);
    EXPECT_EQ(window.platform.sleeps, std::vector<int>{200});
    EXPECT_FALSE(window.tick());
    EXPECT_FALSE(lampLit(window)); // frozen as it was

    window.click("Button8"); // holds the focus already: no second pause
    EXPECT_EQ(window.platform.sleeps, std::vector<int>{200});
    EXPECT_EQ(pollState(window), PollState::Running);
    EXPECT_FALSE(lampLit(window));
    EXPECT_TRUE(window.tick());
}

TEST(RepeatingPollTest, TheReadButtonPausesAndResumesLikeAnyCommand)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.click("BitBtn1");
    window.platform.clearRecords();
    window.click("BitBtn19");
    EXPECT_EQ(window.platform.sleeps, std::vector<int>{200});
    EXPECT_EQ(pollState(window), PollState::Running);
    EXPECT_EQ(bufferReads(window), 1);
}

TEST(RepeatingPollTest, FocusPassingToASecondCommandButtonStopsThePollButNotTheLamp)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.click("BitBtn1"); // lamp on
    window.focus("Button3");
    window.focus("Button4"); // the second entry finds the timer off
    EXPECT_EQ(pollState(window), PollState::Stopped);
    EXPECT_TRUE(lampLit(window));

    QTest::keyClick(window.control<QWidget>("Button4"), Qt::Key_Space);
    EXPECT_EQ(window.requests(), std::vector<Bytes>{requestFrame(kDevice, 236)});
    EXPECT_EQ(pollState(window), PollState::Stopped);
    EXPECT_TRUE(lampLit(window));
}

TEST(RepeatingPollTest, APageChangeResumesAPausedPoll)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.click("BitBtn1");
    // "Read" of "Comms" lies outside the pages: the page change does not
    // move the focus.
    window.focus("BitBtn21");
    ASSERT_EQ(pollState(window), PollState::Paused);
    window.control<QTabWidget>("PageControl1")->setCurrentIndex(1);
    EXPECT_EQ(pollState(window), PollState::Running);
    EXPECT_TRUE(window.tick());
}

TEST(RepeatingPollTest, InitWhileRunningLeavesThePollPaused)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.click("BitBtn1");
    window.click("Button41"); // "Init"
    EXPECT_EQ(pollState(window), PollState::Paused);
    EXPECT_TRUE(lampLit(window));
    EXPECT_FALSE(window.tick());
    window.control<QTabWidget>("PageControl1")->setCurrentIndex(1);
    EXPECT_EQ(pollState(window), PollState::Running);
}

TEST(RepeatingPollTest, ACommandWhileStoppedLeavesThePollStoppedWithoutWaiting)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.click("Button3");
    EXPECT_EQ(window.platform.sleeps, std::vector<int>{0});
    EXPECT_EQ(pollState(window), PollState::Stopped);
    EXPECT_FALSE(window.tick());
}

TEST(RepeatingPollTest, ADeviceThatStopsAnsweringIsPolledAgainAtEveryTick)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.sim.device().insertCoin(2);
    window.click("BitBtn1");
    ASSERT_TRUE(window.tick());
    ASSERT_EQ(gridTexts(window)[0], " 1");
    window.sim.device().setFault(ccsim::Fault::Silence);
    for (int tick = 0; tick < 3; ++tick)
        ASSERT_TRUE(window.tick());
    EXPECT_EQ(bufferReads(window), 4);
    EXPECT_EQ(pollState(window), PollState::Running);
    EXPECT_EQ(gridTexts(window), expectedGrid(" 0", kZeroPairs));
}

// Coins that arrive between ticks show up at the next tick.
TEST(RepeatingPollTest, CoinsInsertedBetweenTicksShowUpInTheGrid)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.click("BitBtn1");
    ccsim::Device &device = window.sim.device();
    const std::vector<int> coins{1, 5, 8};
    std::vector<QString> pairs = kZeroPairs;
    for (size_t n = 0; n < coins.size(); ++n) {
        window.sim.passTime(std::chrono::milliseconds(500));
        ASSERT_TRUE(device.insertCoin(coins[n]));
        ASSERT_TRUE(window.tick());
        const int channel = coins[n];
        pairs.insert(pairs.begin(), {QString::asprintf("%5d", device.config().sorterPaths[channel - 1])});
        pairs.insert(pairs.begin(), QString::asprintf("%5d", channel));
        pairs.resize(10);
        EXPECT_EQ(gridTexts(window), expectedGrid(QString::asprintf("%2zu", n + 1), pairs));
    }
    EXPECT_EQ(bufferReads(window), 3);
}

// ---- The interval field -------------------------------------------------------

struct IntervalCase {
    const char *typed;
    int interval;
    const char *shown;
};

class IntervalFieldTest : public ::testing::TestWithParam<IntervalCase>
{
};

TEST_P(IntervalFieldTest, AnEditedIntervalIsAppliedWhenTheFieldLosesTheFocus)
{
    PanelWindow window;
    window.typeInto("Edit1", "250");
    window.focus("BitBtn24");
    ASSERT_EQ(window.form().pollTimer().interval(), 250);

    const IntervalCase &c = GetParam();
    window.typeInto("Edit1", QString::fromLatin1(c.typed));
    EXPECT_EQ(window.form().pollTimer().interval(), 250) << "applied before leaving";
    window.focus("BitBtn24");
    EXPECT_EQ(window.form().pollTimer().interval(), c.interval);
    EXPECT_EQ(window.control<QLineEdit>("Edit1")->text(), QString::fromLatin1(c.shown));
    EXPECT_TRUE(window.platform.messages.empty());
    EXPECT_TRUE(window.platform.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IntervalFieldTest,
    ::testing::Values(IntervalCase{"    500", 500, "    500"}, IntervalCase{" 500", 500, " 500"},
                      IntervalCase{"1000", 1000, "1000"}, IntervalCase{"$64", 100, "$64"},
                      IntervalCase{"abc", 500, "    500"}, IntervalCase{"", 500, "    500"},
                      IntervalCase{"300 ", 500, "    500"}, IntervalCase{"-5", 500, "    500"},
                      IntervalCase{"4294967296", 500, "    500"}, IntervalCase{"0", 0, "0"}));

TEST(IntervalFieldTest, LeavingTheFieldUneditedChangesNothing)
{
    PanelWindow window;
    window.form().pollTimer().setInterval(250);
    window.focus("Edit1");
    window.focus("BitBtn24");
    EXPECT_EQ(window.form().pollTimer().interval(), 250);
    EXPECT_EQ(window.control<QLineEdit>("Edit1")->text(), "    500");

    // Nor after an edit that has been applied once.
    window.typeInto("Edit1", "300");
    window.focus("BitBtn24");
    window.form().pollTimer().setInterval(250);
    window.focus("Edit1");
    window.focus("BitBtn24");
    EXPECT_EQ(window.form().pollTimer().interval(), 250);
}

TEST(IntervalFieldTest, IntervalZeroKeepsThePollRunningWithoutTicks)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.click("BitBtn1");
    window.typeInto("Edit1", "0");
    window.focus("BitBtn24");
    EXPECT_EQ(pollState(window), PollState::Running);
    EXPECT_FALSE(window.form().pollTimer().isTicking());
    EXPECT_FALSE(window.tick());
    EXPECT_TRUE(lampLit(window));

    window.typeInto("Edit1", "20");
    window.focus("BitBtn24");
    EXPECT_TRUE(window.tick());
    EXPECT_FALSE(lampLit(window));
    EXPECT_EQ(bufferReads(window), 1);
}

// ---- GetMaster and Inhibit -------------------------------------------------------

TEST(MasterInhibitTest, GetMasterTicksInhibitWhenTheDeviceIsInhibited)
{
    PanelWindow window;
    window.takeDeviceAddress();
    auto *inhibit = window.control<QCheckBox>("CheckBox23");
    EXPECT_FALSE(inhibit->isChecked());

    window.sim.device().setMasterInhibit(true);
    window.click("Button8");
    EXPECT_EQ(window.requests(), std::vector<Bytes>{requestFrame(kDevice, 227)});
    EXPECT_TRUE(inhibit->isChecked());

    window.sim.device().setMasterInhibit(false);
    window.click("Button8");
    EXPECT_FALSE(inhibit->isChecked());

    window.sim.device().setMasterInhibit(true);
    window.click("Button8");
    ASSERT_TRUE(inhibit->isChecked());
    // A failed read gives the library's "not inhibited".
    window.sim.device().setFault(ccsim::Fault::Silence);
    window.click("Button8");
    EXPECT_FALSE(inhibit->isChecked());
}

TEST(MasterInhibitTest, ClickingInhibitChangesNothingAndSendsNothing)
{
    PanelWindow window;
    window.takeDeviceAddress();
    auto *inhibit = window.control<QCheckBox>("CheckBox23");
    QTest::mouseClick(inhibit, Qt::LeftButton);
    QTest::mouseDClick(inhibit, Qt::LeftButton);
    QTest::keyClick(inhibit, Qt::Key_Space);
    EXPECT_FALSE(inhibit->isChecked());

    window.sim.device().setMasterInhibit(true);
    window.click("Button8");
    QTest::mouseClick(inhibit, Qt::LeftButton);
    EXPECT_TRUE(inhibit->isChecked());
    EXPECT_EQ(window.requests(), std::vector<Bytes>{requestFrame(kDevice, 227)});
}
