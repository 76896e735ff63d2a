// The I/O test panel and the comms counters, driven through the window's
// controls against the in-process virtual validator.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include "PanelTestSupport.h"
#include "PollTimer.h"

using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint8_t kDevice = 2;

struct LampNames {
    const char *off;
    const char *on;
};

const LampNames kInputLamps[6] = {{"Image1", "Image2"},   {"Image3", "Image4"},
                                  {"Image5", "Image6"},   {"Image7", "Image8"},
                                  {"Image9", "Image10"},  {"Image11", "Image12"}};
const LampNames kOptoLamps[6] = {{"Image13", "Image14"}, {"Image15", "Image16"},
                                 {"Image17", "Image18"}, {"Image19", "Image20"},
                                 {"Image21", "Image22"}, {"Image23", "Image24"}};

// Which lamps of a column are lit; fails when a pair shows both or neither.
std::vector<bool> litLamps(PanelWindow &window, const LampNames (&lamps)[6])
{
    std::vector<bool> lit;
    for (const LampNames &lamp : lamps) {
        const bool offShown = !window.control<QLabel>(lamp.off)->isHidden();
        const bool onShown = !window.control<QLabel>(lamp.on)->isHidden();
        EXPECT_NE(offShown, onShown) << lamp.off << "/" << lamp.on;
        lit.push_back(onShown);
    }
    return lit;
}

} // namespace

TEST(SolenoidTest, SendsTheSelectedItemsIndexAsASingleBitMask)
{
    PanelWindow window;
    window.takeDeviceAddress();
    const char *const items[] = {"RadioGroup1Item1", "RadioGroup1Item2", "RadioGroup1Item3",
                                 "RadioGroup1Item4"};
    for (int index = 3; index >= 0; --index) {
        SCOPED_TRACE(index);
        QTest::mouseClick(window.control<QRadioButton>(items[index]), Qt::LeftButton);
        window.sim.clearRecords();
        window.click("Button1");
        const uint8_t mask = static_cast<uint8_t>(1u << index);
        EXPECT_EQ(window.requests(), std::vector<Bytes>{requestFrame(kDevice, 240, {mask})});
        EXPECT_EQ(window.sim.device().lastSolenoidTest(), mask);
    }
}

TEST(SolenoidTest, SolenoidOneIsSelectedAtStart)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.click("Button1");
    EXPECT_EQ(window.requests(), std::vector<Bytes>{requestFrame(kDevice, 240, {1})});
}

struct OutputCase {
    std::vector<int> ticked; // outputs 1 to 6
    uint8_t mask;
};

class OutputTest : public ::testing::TestWithParam<OutputCase>
{
};

TEST_P(OutputTest, ShotAndLatchSendTheBoxesMaskWithTheirHeader)
{
    PanelWindow window;
    window.takeDeviceAddress();
    for (int output : GetParam().ticked) {
        const QString name = QStringLiteral("CheckBox%1").arg(output);
        QTest::mouseClick(window.control<QCheckBox>(name.toLatin1().constData()), Qt::LeftButton);
    }
    const uint8_t mask = GetParam().mask;

    window.sim.clearRecords();
    window.click("Button2"); // "Shot"
    EXPECT_EQ(window.requests(), std::vector<Bytes>{requestFrame(kDevice, 238, {mask})});
    EXPECT_EQ(window.sim.device().lastOutputTest(), mask);

    window.sim.clearRecords();
    window.click("Button5"); // "Latch"
    EXPECT_EQ(window.requests(), std::vector<Bytes>{requestFrame(kDevice, 233, {mask})});
    EXPECT_EQ(window.sim.device().latchedOutputs(), mask);
}

INSTANTIATE_TEST_SUITE_P(Boxes, OutputTest,
                         ::testing::Values(OutputCase{{}, 0}, OutputCase{{1, 2, 3, 4, 5, 6}, 63},
                                           OutputCase{{2, 5}, 18}, OutputCase{{1}, 1},
                                           OutputCase{{6}, 32}));

TEST(OutputTest, AFailedCommandLeavesNoTraceAndTheBoxesAsChosen)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.sim.device().setFault(ccsim::Fault::Silence);
    QTest::mouseClick(window.control<QCheckBox>("CheckBox3"), Qt::LeftButton);
    window.click("Button5");
    EXPECT_TRUE(window.platform.messages.empty());
    EXPECT_TRUE(window.control<QCheckBox>("CheckBox3")->isChecked());
    EXPECT_EQ(window.requests().size(), 1u);
}

struct LineGroup {
    const char *button;
    const LampNames (*lamps)[6];
    uint8_t header;
    void (ccsim::Device::*set)(uint8_t);
};

class LineReadTest : public ::testing::TestWithParam<LineGroup>
{
};

TEST_P(LineReadTest, LampsShowTheBitsOfTheStateByte)
{
    const LineGroup &group = GetParam();
    PanelWindow window;
    window.takeDeviceAddress();
    // At start every lamp is off.
    EXPECT_EQ(litLamps(window, *group.lamps), std::vector<bool>(6, false));

    (window.sim.device().*group.set)(21); // lines 1, 3 and 5
    window.click(group.button);
    EXPECT_EQ(window.requests(), std::vector<Bytes>{requestFrame(kDevice, group.header)});
    EXPECT_EQ(litLamps(window, *group.lamps),
              (std::vector<bool>{true, false, true, false, true, false}));

    (window.sim.device().*group.set)(63);
    window.click(group.button);
    EXPECT_EQ(litLamps(window, *group.lamps), std::vector<bool>(6, true));

    // Bits 6 and 7 have no lamp.
    (window.sim.device().*group.set)(192);
    window.click(group.button);
    EXPECT_EQ(litLamps(window, *group.lamps), std::vector<bool>(6, false));
}

TEST_P(LineReadTest, AFailedReadTurnsEveryLampOfTheGroupOff)
{
    const LineGroup &group = GetParam();
    PanelWindow window;
    window.takeDeviceAddress();
    (window.sim.device().*group.set)(0x2A);
    window.click(group.button);
    ASSERT_EQ(litLamps(window, *group.lamps),
              (std::vector<bool>{false, true, false, true, false, true}));

    window.sim.device().setFault(ccsim::Fault::WrongChecksum);
    window.click(group.button);
    EXPECT_EQ(litLamps(window, *group.lamps), std::vector<bool>(6, false));
    EXPECT_TRUE(window.platform.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Columns, LineReadTest,
                         ::testing::Values(LineGroup{"Button3", &kInputLamps, 237,
                                                     &ccsim::Device::setInputLines},
                                           LineGroup{"Button4", &kOptoLamps, 236,
                                                     &ccsim::Device::setOptoStates}),
                         [](const auto &info) { return std::string(info.param.button); });

TEST(LineReadTest, AReadLeavesTheOtherColumnAlone)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.sim.device().setInputLines(1);
    window.sim.device().setOptoStates(32);
    window.click("Button3");
    window.click("Button4");
    window.sim.device().setFault(ccsim::Fault::Silence);
    window.click("Button4"); // optos fail: all off
    EXPECT_EQ(litLamps(window, kInputLamps),
              (std::vector<bool>{true, false, false, false, false, false}));
    EXPECT_EQ(litLamps(window, kOptoLamps), std::vector<bool>(6, false));
}

TEST(IoPanelTest, EveryButtonPausesThePollAndResumesIt)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.click("BitBtn1"); // "Start"
    for (const char *button : {"Button1", "Button2", "Button5", "Button3", "Button4"}) {
        SCOPED_TRACE(button);
        window.focus("BitBtn24"); // away from the command buttons
        window.platform.clearRecords();
        window.click(button);
        EXPECT_EQ(window.platform.sleeps, std::vector<int>{200});
        EXPECT_TRUE(window.form().pollTimer().isOn());
        EXPECT_TRUE(window.form().pollRunning());
    }
}

// ---- Comms counters --------------------------------------------------------

namespace {

QString boxText(PanelWindow &window, const char *name)
{
    return window.control<QLabel>(name)->text();
}

std::vector<QString> counterTexts(PanelWindow &window)
{
    return {boxText(window, "StaticText11"), boxText(window, "StaticText12"),
            boxText(window, "StaticText13")};
}

// Makes the device count: a message with a wrong checksum, then a message
// cut short (an inter-byte time-out).
void disturbTheLine(PanelWindow &window)
{
    PortHandle handle = window.form().portHandle();
    Bytes bad = requestFrame(kDevice, 254);
    bad.back() ^= 0x55;
    window.sim.send(handle, bad.data(), static_cast<int32_t>(bad.size()));
    window.sim.passTime(std::chrono::milliseconds(200));
    const Bytes partial{kDevice, 0, 1};
    window.sim.send(handle, partial.data(), static_cast<int32_t>(partial.size()));
    window.sim.passTime(std::chrono::milliseconds(200));
    uint8_t drain[64];
    window.sim.receiveUpTo(handle, drain, static_cast<int32_t>(window.sim.pendingInput()));
}

} // namespace

TEST(CommsCountersTest, ReadShowsTheThreeCountersAndClearZeroesThem)
{
    PanelWindow window;
    window.takeDeviceAddress();
    EXPECT_EQ(counterTexts(window), (std::vector<QString>{"0", "0", "0"}));

    disturbTheLine(window);
    const ccsim::CommsCounters counted = window.sim.device().commsCounters();
    ASSERT_EQ(counted.badChecksums, 1);
    ASSERT_EQ(counted.interByteTimeouts, 1);

    window.sim.clearRecords();
    window.click("BitBtn21"); // "Read"
    EXPECT_EQ(window.requests(), std::vector<Bytes>{requestFrame(kDevice, 2)});
    EXPECT_EQ(counterTexts(window),
              (std::vector<QString>{QString::number(counted.interByteTimeouts),
                                    QString::number(counted.ignoredBytes),
                                    QString::number(counted.badChecksums)}));

    window.sim.clearRecords();
    window.click("BitBtn22"); // "Clear"
    EXPECT_EQ(window.requests(), std::vector<Bytes>{requestFrame(kDevice, 3)});
    EXPECT_EQ(counterTexts(window), (std::vector<QString>{"0", "0", "0"}));
    EXPECT_EQ(window.sim.device().commsCounters(), ccsim::CommsCounters{});

    // What the device counts after the clear shows at the next read.
    disturbTheLine(window);
    window.click("BitBtn21");
    EXPECT_EQ(counterTexts(window)[2], "1");
}

TEST(CommsCountersTest, AFailedReadOrClearLeavesTheBoxesAsTheyWere)
{
    PanelWindow window;
    window.takeDeviceAddress();
    disturbTheLine(window);
    window.click("BitBtn21");
    const std::vector<QString> shown = counterTexts(window);
    ASSERT_EQ(shown[2], "1");

    // With the poll running, each failed command still ends with the resume
    // step: the poll runs again afterwards.
    window.click("BitBtn1");
    window.sim.device().setFault(ccsim::Fault::Silence);
    for (const char *button : {"BitBtn21", "BitBtn22"}) {
        SCOPED_TRACE(button);
        window.click(button);
        EXPECT_EQ(counterTexts(window), shown);
        EXPECT_TRUE(window.form().pollTimer().isOn());
    }
    EXPECT_TRUE(window.platform.messages.empty());
}
