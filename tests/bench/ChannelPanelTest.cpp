// The "Channel sorter" and "Channel enable" groups through the window's
// controls against the in-process virtual validator: which channel each row
// reaches on the wire, the paths shown and written, the rules that enable
// and disable the "Write" buttons, and the channel enable mask.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "ChannelRows.h"
#include "WindowFixture.h"

namespace {

using ::testing::Each;
using ::testing::ElementsAre;

class ChannelPanelTest : public WindowTest
{
protected:
    void SetUp() override
    {
        openConnected();
        control<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        forget();
    }

    const SorterRow &row(int channel) { return m_form->channelPanels().sorter.at(channel - 1); }
    QCheckBox *box(int channel) { return m_form->channelPanels().enable.at(channel - 1); }
    ccsim::DeviceConfig &device() { return m_sim.device().config(); }

    std::vector<bool> writesEnabled()
    {
        std::vector<bool> enabled;
        for (int n = 1; n <= kChannelCount; ++n)
            enabled.push_back(row(n).write->isEnabled());
        return enabled;
    }
    bool writeAllEnabled() { return control<QWidget>(QStringLiteral("Button78"))->isEnabled(); }

    void clickWidget(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    // Types into a path field as the technician does: the focus in, the
    // text selected, the keys.
    void typePath(int channel, const QString &keys)
    {
        QSpinBox *path = row(channel).path;
        path->setFocus(Qt::TabFocusReason);
        path->selectAll();
        if (keys.isEmpty())
            QTest::keyClick(path, Qt::Key_Backspace);
        else
            QTest::keyClicks(path, keys);
    }

    // Sets the device's paths and reads them all, so every row starts from a
    // known state with no "Write" enabled.
    void readAllFrom(const std::array<uint8_t, 16> &paths)
    {
        for (int n = 0; n < 16; ++n)
            device().sorterPaths[n] = paths[n];
        click(QStringLiteral("Button77"));
        forget();
    }

    std::vector<bool> noWrites = std::vector<bool>(16, false);
};

TEST_F(ChannelPanelTest, StartsWithPathsZeroNoWriteAndWriteAllAvailable)
{
    for (int n = 1; n <= kChannelCount; ++n) {
        EXPECT_EQ(row(n).path->value(), 0);
        EXPECT_EQ(tagOf(row(n).read), n);
        EXPECT_EQ(tagOf(row(n).path), n);
        EXPECT_EQ(tagOf(row(n).write), n);
        EXPECT_FALSE(box(n)->isChecked());
    }
    EXPECT_EQ(writesEnabled(), noWrites);
    EXPECT_TRUE(writeAllEnabled());
    EXPECT_EQ(tagOf(control<QWidget>(QStringLiteral("Button78"))), 16);
}

TEST_F(ChannelPanelTest, EachRowReadsAndWritesItsOwnChannel)
{
    for (int n = 1; n <= kChannelCount; ++n) {
        SCOPED_TRACE(n);
        device().sorterPaths[n - 1] = static_cast<uint8_t>(n % 9);
        forget();
        clickWidget(row(n).read);
        EXPECT_EQ(hostBytes(), requestFrame(0, 209, {static_cast<uint8_t>(n)}));
        EXPECT_EQ(row(n).path->value(), n % 9);

        const int newPath = (n + 4) % 9;
        typePath(n, QString::number(newPath));
        ASSERT_TRUE(row(n).write->isEnabled());
        forget();
        clickWidget(row(n).write);
        EXPECT_EQ(hostBytes(), requestFrame(0, 210, {static_cast<uint8_t>(n), static_cast<uint8_t>(newPath)}));
        EXPECT_EQ(device().sorterPaths[n - 1], newPath);
        EXPECT_FALSE(row(n).write->isEnabled());
    }
}

TEST_F(ChannelPanelTest, ChangingAPathEnablesOnlyItsWriteAndWriteAll)
{
    readAllFrom({1, 1, 1, 1, 2, 2, 3, 3, 1, 1, 2, 3, 3, 4, 1, 1});
    click(QStringLiteral("Button78"));
    ASSERT_FALSE(writeAllEnabled());

    // Spinning channel 5 from 2 to 3.
    row(5).path->setFocus(Qt::TabFocusReason);
    QTest::keyClick(row(5).path, Qt::Key_Up);
    EXPECT_EQ(row(5).path->value(), 3);
    std::vector<bool> expected = noWrites;
    expected[4] = true;
    EXPECT_EQ(writesEnabled(), expected);
    EXPECT_TRUE(writeAllEnabled());

    // A write that the device acknowledges disables it again.
    clickWidget(row(5).write);
    EXPECT_EQ(writesEnabled(), noWrites);
    EXPECT_EQ(device().sorterPaths[4], 3);
    EXPECT_TRUE(writeAllEnabled());
}

TEST_F(ChannelPanelTest, AFailedWriteLeavesItsButtonEnabledWithoutAMessage)
{
    typePath(3, QStringLiteral("6"));
    m_sim.device().setFault(ccsim::Fault::Silence);
    clickWidget(row(3).write);
    EXPECT_TRUE(row(3).write->isEnabled());
    EXPECT_TRUE(m_platform.messages.isEmpty());
    EXPECT_TRUE(m_platform.errors.isEmpty());
}

TEST_F(ChannelPanelTest, SpinningAtTheBoundOrSettingTheSameValueChangesNothing)
{
    readAllFrom({8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    click(QStringLiteral("Button78"));
    ASSERT_FALSE(writeAllEnabled());
    row(1).path->setFocus(Qt::TabFocusReason);
    QTest::keyClick(row(1).path, Qt::Key_Up);
    row(2).path->setFocus(Qt::TabFocusReason);
    QTest::keyClick(row(2).path, Qt::Key_Down);
    EXPECT_EQ(row(1).path->value(), 8);
    EXPECT_EQ(row(2).path->value(), 0);
    EXPECT_EQ(writesEnabled(), noWrites);
    EXPECT_FALSE(writeAllEnabled());
}

TEST_F(ChannelPanelTest, ReadingAPathOutOfRangeShowsEightAndTheSameValueEnablesNothing)
{
    readAllFrom({1, 1, 1, 1, 2, 2, 3, 3, 1, 1, 2, 3, 3, 4, 1, 1});
    click(QStringLiteral("Button78"));
    ASSERT_FALSE(writeAllEnabled());

    // The value already shown: no change, nothing enabled.
    clickWidget(row(7).read);
    EXPECT_EQ(row(7).path->value(), 3);
    EXPECT_FALSE(writeAllEnabled());

    // Path 12 from the device: shown as 8; the change enables "Write All"
    // but the read leaves the row's "Write" disabled.
    device().sorterPaths[2] = 12;
    clickWidget(row(3).read);
    EXPECT_EQ(row(3).path->value(), 8);
    EXPECT_EQ(row(3).path->text(), QStringLiteral("8"));
    EXPECT_EQ(writesEnabled(), noWrites);
    EXPECT_TRUE(writeAllEnabled());
}

TEST_F(ChannelPanelTest, AFailedReadShowsPathZero)
{
    readAllFrom({5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5});
    typePath(4, QStringLiteral("7"));
    m_sim.device().setFault(ccsim::Fault::Silence);
    clickWidget(row(4).read);
    EXPECT_EQ(row(4).path->value(), 0);
    EXPECT_FALSE(row(4).write->isEnabled());
    EXPECT_TRUE(m_platform.messages.isEmpty());
}

TEST_F(ChannelPanelTest, TypedPathsAreBroughtIntoRangeAndBadTextCountsAsZero)
{
    readAllFrom({3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3});
    struct Case {
        int channel;
        const char *keys;
        int value;
        const char *textWhileTyping;
        const char *textAfterLeaving;
    };
    const Case cases[] = {
        {1, "12", 8, "12", "8"},
        {2, "-5", 0, "-5", "0"},
        {3, "", 0, "", "0"},
        {4, "-", 0, "-", "0"},
        {5, "99999999999", 0, "99999999999", "0"},
        {6, "a", 3, "3", "3"}, // letters are not taken
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.keys);
        typePath(c.channel, QString::fromLatin1(c.keys));
        QSpinBox *path = row(c.channel).path;
        EXPECT_EQ(path->value(), c.value);
        EXPECT_EQ(path->findChild<QLineEdit *>()->text(), QString::fromLatin1(c.textWhileTyping));
        EXPECT_EQ(row(c.channel).write->isEnabled(), c.value != 3);
        // Leaving the field rewrites the text.
        control<QWidget>(QStringLiteral("BitBtn17"))->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(path->findChild<QLineEdit *>()->text(), QString::fromLatin1(c.textAfterLeaving));
        EXPECT_EQ(path->value(), c.value);
    }
}

TEST_F(ChannelPanelTest, TypingThatKeepsTheValueIsStillAChange)
{
    // Emptying a field that shows 0, and typing 9 over 8: the text changes,
    // the value does not.
    readAllFrom({0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    click(QStringLiteral("Button78"));
    ASSERT_FALSE(writeAllEnabled());
    typePath(1, QString());
    std::vector<bool> expected = noWrites;
    expected[0] = true;
    EXPECT_EQ(writesEnabled(), expected);
    EXPECT_TRUE(writeAllEnabled());

    typePath(2, QStringLiteral("9"));
    EXPECT_EQ(row(2).path->value(), 8);
    expected[1] = true;
    EXPECT_EQ(writesEnabled(), expected);

    // Each change is signalled once: after typing, a read that changes the
    // value is a change again.
    click(QStringLiteral("Button78"));
    ASSERT_FALSE(writeAllEnabled());
    device().sorterPaths[1] = 3;
    clickWidget(row(2).read);
    EXPECT_EQ(row(2).path->value(), 3);
    EXPECT_TRUE(writeAllEnabled());
}

TEST_F(ChannelPanelTest, AnEmptiedPathWritesZero)
{
    readAllFrom({4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4});
    typePath(9, QString());
    ASSERT_TRUE(row(9).write->isEnabled());
    clickWidget(row(9).write);
    EXPECT_EQ(hostBytes(), requestFrame(0, 210, {9, 0}));
    EXPECT_EQ(device().sorterPaths[8], 0);
}

TEST_F(ChannelPanelTest, ReadAllReadsEveryChannelInOrderAndLeavesNoWriteEnabled)
{
    for (int n : {2, 9, 16})
        typePath(n, QStringLiteral("7"));
    device().sorterPaths = {1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2, 3, 4, 5, 6, 12};
    forget();
    click(QStringLiteral("Button77"));
    std::vector<uint8_t> expected;
    for (uint8_t n = 1; n <= 16; ++n) {
        const std::vector<uint8_t> frame = requestFrame(0, 209, {n});
        expected.insert(expected.end(), frame.begin(), frame.end());
    }
    EXPECT_EQ(hostBytes(), expected);
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(row(n).path->value(), std::min<int>(device().sorterPaths[n - 1], 8)) << n;
    EXPECT_EQ(writesEnabled(), noWrites);
    EXPECT_EQ(tagOf(control<QWidget>(QStringLiteral("Button77"))), 16);
    // "Read All" does not pause the poll on focus.
    EXPECT_TRUE(m_platform.sleeps.empty());
}

TEST_F(ChannelPanelTest, WriteAllWritesEveryChannelAndThenDisablesItself)
{
    readAllFrom({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (int n = 1; n <= 16; ++n)
        row(n).path->setValue(n % 9);
    ASSERT_TRUE(writeAllEnabled());
    forget();
    click(QStringLiteral("Button78"));
    std::vector<uint8_t> expected;
    for (uint8_t n = 1; n <= 16; ++n) {
        const std::vector<uint8_t> frame = requestFrame(0, 210, {n, static_cast<uint8_t>(n % 9)});
        expected.insert(expected.end(), frame.begin(), frame.end());
        EXPECT_EQ(device().sorterPaths[n - 1], n % 9);
    }
    EXPECT_EQ(hostBytes(), expected);
    EXPECT_EQ(writesEnabled(), noWrites);
    EXPECT_FALSE(writeAllEnabled());
    EXPECT_EQ(tagOf(control<QWidget>(QStringLiteral("Button78"))), 16);
}

TEST_F(ChannelPanelTest, WriteAllWithoutADeviceKeepsItselfAvailable)
{
    for (int n : {1, 8, 15})
        typePath(n, QStringLiteral("2"));
    m_sim.device().setFault(ccsim::Fault::Silence);
    click(QStringLiteral("Button78"));
    EXPECT_EQ(writesEnabled(), noWrites);
    EXPECT_TRUE(writeAllEnabled());
    EXPECT_TRUE(m_platform.messages.isEmpty());
}

TEST_F(ChannelPanelTest, WriteAllDisablesItselfWhenOneWriteSucceedsAndTheRestFail)
{
    device().sorterPaths.fill(5);
    typePath(1, QStringLiteral("6"));
    // The device acknowledges the first write, then falls silent.
    m_sim.bus().setObserver([this](const ccsim::BusActivity &activity) {
        if (activity.kind == ccsim::BusActivity::DeviceBytes)
            m_sim.device().setFault(ccsim::Fault::Silence);
    });
    forget();
    click(QStringLiteral("Button78"));
    m_sim.bus().setObserver(nullptr);
    EXPECT_EQ(device().sorterPaths[0], 6);
    EXPECT_EQ(device().sorterPaths[1], 5);
    EXPECT_EQ(writesEnabled(), noWrites);
    EXPECT_FALSE(writeAllEnabled());
    EXPECT_EQ(tagOf(control<QWidget>(QStringLiteral("Button78"))), 16);
}

struct MaskCase {
    std::vector<int> ticked;
    std::vector<uint8_t> data;
    uint16_t mask;
};

TEST_F(ChannelPanelTest, TheTickedBoxesGoOnTheWireAsTheMask)
{
    const MaskCase cases[] = {
        {{1, 9}, {1, 1}, 257},
        {{16}, {0, 128}, 32768},
        {{}, {0, 0}, 0},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, {255, 255}, 65535},
    };
    for (const MaskCase &c : cases) {
        SCOPED_TRACE(c.mask);
        for (int n = 1; n <= 16; ++n)
            box(n)->setChecked(std::find(c.ticked.begin(), c.ticked.end(), n) != c.ticked.end());
        m_sim.device().setEnabledChannels(0x5A5A);
        forget();
        click(QStringLiteral("BitBtn17"));
        EXPECT_EQ(hostBytes(), requestFrame(0, 231, c.data));
        EXPECT_EQ(m_sim.device().enabledChannels(), c.mask);
    }
}

TEST_F(ChannelPanelTest, AllAndAnyTickOrUntickEveryBoxAndWriteTheMask)
{
    box(3)->setChecked(true);
    click(QStringLiteral("Button7"));
    EXPECT_EQ(hostBytes(), requestFrame(0, 231, {255, 255}));
    for (int n = 1; n <= 16; ++n)
        EXPECT_TRUE(box(n)->isChecked()) << n;
    EXPECT_EQ(m_sim.device().enabledChannels(), 65535);

    forget();
    click(QStringLiteral("Button6"));
    EXPECT_EQ(hostBytes(), requestFrame(0, 231, {0, 0}));
    for (int n = 1; n <= 16; ++n)
        EXPECT_FALSE(box(n)->isChecked()) << n;
    EXPECT_EQ(m_sim.device().enabledChannels(), 0);
}

TEST_F(ChannelPanelTest, TheMaskReadTicksExactlyTheEnabledChannels)
{
    for (int n : {5, 16})
        box(n)->setChecked(true);
    m_sim.device().setEnabledChannels(3);
    click(QStringLiteral("BitBtn18"));
    EXPECT_EQ(hostBytes(), requestFrame(0, 230));
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(box(n)->isChecked(), n <= 2) << n;

    m_sim.device().setEnabledChannels(0x8001);
    click(QStringLiteral("BitBtn18"));
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(box(n)->isChecked(), n == 1 || n == 16) << n;

    // A failed read unticks every box.
    m_sim.device().setFault(ccsim::Fault::Silence);
    click(QStringLiteral("BitBtn18"));
    for (int n = 1; n <= 16; ++n)
        EXPECT_FALSE(box(n)->isChecked()) << n;
}

TEST_F(ChannelPanelTest, ASuccessfulWriteResumesThePollAlthoughItDisablesItsButton)
{
    typePath(11, QStringLiteral("5"));
    control<QWidget>(QStringLiteral("CheckBox7"))->setFocus();
    timer().setOn(true);
    forget();
    clickWidget(row(11).write);
    ASSERT_FALSE(row(11).write->isEnabled());
    EXPECT_EQ(m_platform.sleeps, std::vector<int>{200});
    EXPECT_TRUE(timer().isOn());

    // "Write All" has no pause of its own and disables itself without
    // pausing: each step sets the poll back from the flag.
    typePath(12, QStringLiteral("5"));
    forget();
    click(QStringLiteral("Button78"));
    ASSERT_FALSE(writeAllEnabled());
    EXPECT_TRUE(m_platform.sleeps.empty());
    EXPECT_TRUE(timer().isOn());
}

TEST_F(ChannelPanelTest, ReadAllWriteAllAndAChangedPathResumeAPausedPoll)
{
    // The poll paused by a command button's focus, the flag still true.
    const auto pausePoll = [this] {
        timer().setOn(true);
        control<QWidget>(QStringLiteral("BitBtn18"))->setFocus(Qt::TabFocusReason);
        ASSERT_FALSE(timer().isOn());
        ASSERT_TRUE(m_form->pollRunning());
    };
    pausePoll();
    click(QStringLiteral("Button77"));
    EXPECT_TRUE(timer().isOn()) << "Read All";

    pausePoll();
    click(QStringLiteral("Button78"));
    EXPECT_TRUE(timer().isOn()) << "Write All";

    pausePoll();
    row(6).path->setFocus(Qt::TabFocusReason);
    QTest::keyClick(row(6).path, Qt::Key_Up);
    EXPECT_TRUE(timer().isOn()) << "a changed path";
    timer().setOn(false);
}

TEST_F(ChannelPanelTest, EachCommandResumesThePoll)
{
    const char *const buttons[] = {"BitBtn17", "BitBtn18", "Button7", "Button6", "Button9", "Button40"};
    for (const char *name : buttons) {
        SCOPED_TRACE(name);
        control<QWidget>(QStringLiteral("CheckBox7"))->setFocus();
        timer().setOn(true);
        click(QString::fromLatin1(name));
        EXPECT_TRUE(timer().isOn());
        timer().setOn(false);
    }
}

} // namespace
