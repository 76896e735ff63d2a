// The fast test through the window's "Start" against the in-process virtual
// validator. The platform's clock moves only with the window's sleeps, so a
// span of a minute runs in milliseconds.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>

#include "PanelTestSupport.h"
#include "PollTimer.h"

using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint8_t kDevice = 2;

Bytes serialNumberFrame(uint8_t destination)
{
    return {destination, 0, 1, 242, static_cast<uint8_t>(13 - destination)};
}

void setSpin(PanelWindow &window, const char *name, int value)
{
    window.control<QSpinBox>(name)->setValue(value);
}

// What Label52 and the gauge show each time the window repaints them.
class RepaintRecorder : public QObject
{
public:
    explicit RepaintRecorder(PanelWindow &window)
        : m_platform(window.platform), m_label(window.control<QLabel>("Label52")),
          m_gauge(window.control<QProgressBar>("Gauge1"))
    {
        m_label->installEventFilter(this);
    }

    struct Shown {
        QString label;
        int gauge;
        int gaugeMaximum;
    };
    std::vector<Shown> shown;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // Only the repaints of a running test: after its first request and
        // before "Finish".
        if (event->type() == QEvent::Paint && !m_platform.sleeps.empty()
            && m_label->text() != QLatin1String("Finish"))
            shown.push_back({m_label->text(), m_gauge->value(), m_gauge->maximum()});
        return false;
    }

private:
    RecordingPlatform &m_platform;
    QLabel *m_label;
    QProgressBar *m_gauge;
};

} // namespace

TEST(FastTestTest, FiveRequestsToTheDeviceThenFiveToEachOfTwoRandomAddresses)
{
    PanelWindow window;
    window.takeDeviceAddress();
    setSpin(window, "SpinEdit17", 40); // gap
    setSpin(window, "SpinEdit18", 1);  // span: 15 x 40 ms = 0.6 s per cycle
    window.click("BitBtn25");

    const auto &writes = window.platform.rawWrites;
    ASSERT_EQ(writes.size(), 30u); // two cycles
    std::vector<uint8_t> randoms;
    for (size_t n = 0; n < writes.size(); ++n) {
        SCOPED_TRACE(n);
        const size_t slot = n % 15;
        ASSERT_EQ(writes[n].size(), 5u);
        if (slot < 5) {
            EXPECT_EQ(writes[n], (Bytes{2, 0, 1, 242, 11}));
        } else {
            const uint8_t destination = writes[n][0];
            EXPECT_GE(destination, 1);
            EXPECT_LE(destination, 252);
            EXPECT_EQ(writes[n], serialNumberFrame(destination));
            if (slot == 5 || slot == 10)
                randoms.push_back(destination);
            else
                EXPECT_EQ(destination, writes[n - 1][0]);
        }
    }
    // Everything written reached the port, in order.
    Bytes all;
    for (const Bytes &write : writes)
        all.insert(all.end(), write.begin(), write.end());
    EXPECT_EQ(window.sim.hostBytes(), all);

    // A read of up to 8 bytes after each request to the device only.
    size_t toDevice = 0;
    for (const Bytes &write : writes)
        toDevice += write[0] == kDevice;
    EXPECT_EQ(window.platform.rawReadSizes, std::vector<int>(toDevice, 8));
    EXPECT_EQ(window.platform.sleeps, std::vector<int>(30, 40));
    // The device under test answered every request sent to it.
    EXPECT_GE(window.sim.device().requestsHandled(), 10u);
    ASSERT_EQ(randoms.size(), 4u);
    EXPECT_FALSE(randoms[0] == randoms[1] && randoms[1] == randoms[2] && randoms[2] == randoms[3]);
}

TEST(FastTestTest, TheRandomAddressesComeInTheSameOrderAfterEveryStart)
{
    auto randomDestinations = [] {
        PanelWindow window;
        setSpin(window, "SpinEdit17", 100);
        setSpin(window, "SpinEdit18", 1);
        window.click("BitBtn25");
        window.click("BitBtn25");
        std::vector<uint8_t> destinations;
        for (size_t n = 5; n < window.platform.rawWrites.size(); n += 5) {
            if (n % 15 != 0)
                destinations.push_back(window.platform.rawWrites[n][0]);
        }
        return destinations;
    };
    const std::vector<uint8_t> first = randomDestinations();
    ASSERT_EQ(first.size(), 4u); // one cycle per run, two runs
    EXPECT_EQ(randomDestinations(), first);
    // Within one program run the sequence goes on: the second test's pair
    // is not the first's again.
    EXPECT_FALSE(first[0] == first[2] && first[1] == first[3]);
}

TEST(FastTestTest, AMinuteSpanEndsAtTheFirstMarkAfterSixtySeconds)
{
    PanelWindow window;
    window.takeDeviceAddress();
    // Span 60 s (the default); 15 requests take 3 s of the clock.
    setSpin(window, "SpinEdit17", 200);
    RepaintRecorder recorder(window);
    window.click("BitBtn25");

    EXPECT_EQ(window.platform.rawWrites.size(), 300u);
    // The clock is read at the start and once per 15 requests.
    EXPECT_EQ(window.platform.clockReads, 1 + 20);
    // The window is repainted at every mark, showing the elapsed seconds.
    ASSERT_GE(recorder.shown.size(), 20u);
    EXPECT_EQ(recorder.shown.front().label, "3");
    EXPECT_EQ(recorder.shown.front().gauge, 3);
    const auto &last = recorder.shown.back();
    EXPECT_EQ(last.label, "60");
    EXPECT_EQ(last.gauge, 60);
    EXPECT_EQ(last.gaugeMaximum, 60);

    EXPECT_EQ(window.control<QLabel>("Label52")->text(), "Finish");
    EXPECT_EQ(window.control<QProgressBar>("Gauge1")->value(), 0);
}

TEST(FastTestTest, SpanAndGapOfOneEndAfterTheCycleThatPassesOneSecond)
{
    PanelWindow window;
    window.takeDeviceAddress();
    setSpin(window, "SpinEdit17", 1);
    setSpin(window, "SpinEdit18", 1);
    RepaintRecorder recorder(window);
    window.click("BitBtn25");

    // 1 ms per request: one second has passed after 1000 requests, and the
    // next mark is after request 1005.
    EXPECT_EQ(window.platform.rawWrites.size(), 1005u);
    ASSERT_FALSE(recorder.shown.empty());
    EXPECT_EQ(recorder.shown.back().label, "1");
    EXPECT_EQ(recorder.shown.back().gauge, 1);
    EXPECT_EQ(window.control<QLabel>("Label52")->text(), "Finish");
    EXPECT_EQ(window.control<QProgressBar>("Gauge1")->value(), 0);
}

TEST(FastTestTest, ACycleLongerThanTheSpanEndsTheTestAfterOneCycle)
{
    PanelWindow window;
    window.takeDeviceAddress();
    setSpin(window, "SpinEdit17", 5000); // 75 s per cycle
    setSpin(window, "SpinEdit18", 30);
    RepaintRecorder recorder(window);
    window.click("BitBtn25");

    EXPECT_EQ(window.platform.rawWrites.size(), 15u);
    ASSERT_FALSE(recorder.shown.empty());
    // The label is not clamped; the gauge stops at its maximum.
    EXPECT_EQ(recorder.shown.back().label, "75");
    EXPECT_EQ(recorder.shown.back().gauge, 30);
    EXPECT_EQ(window.control<QLabel>("Label52")->text(), "Finish");
}

TEST(FastTestTest, AClockSetBackCountsAsTimePassed)
{
    PanelWindow window;
    setSpin(window, "SpinEdit17", 1);
    setSpin(window, "SpinEdit18", 100);
    window.platform.clockStepMs = -2 * 3600 * 1000;
    RepaintRecorder recorder(window);
    window.click("BitBtn25");
    EXPECT_EQ(window.platform.rawWrites.size(), 15u);
    ASSERT_FALSE(recorder.shown.empty());
    EXPECT_EQ(recorder.shown.back().label, "7199");
}

TEST(FastTestTest, WithoutAnOpenPortNothingIsWrittenAndTheSpanRunsOut)
{
    for (bool failedConnection : {false, true}) {
        SCOPED_TRACE(failedConnection);
        PanelWindow window(false);
        if (failedConnection) {
            window.sim.setFreePorts({});
            window.click("Button41"); // "Echec d'initialisation"
            ASSERT_EQ(window.form().portHandle(), -1);
        }
        window.platform.clearRecords();
        setSpin(window, "SpinEdit17", 100);
        setSpin(window, "SpinEdit18", 3);
        window.click("BitBtn25");

        EXPECT_TRUE(window.sim.hostBytes().empty());
        EXPECT_TRUE(window.sim.readSizes().empty());
        // 1.5 s per cycle: the span of 3 s ends after two cycles.
        EXPECT_EQ(window.platform.rawWrites.size(), 30u);
        EXPECT_EQ(window.control<QLabel>("Label52")->text(), "Finish");
        EXPECT_TRUE(window.platform.messages.empty());
    }
}

TEST(FastTestTest, ASpinFieldWithoutANumberCountsAsOne)
{
    PanelWindow window;
    setSpin(window, "SpinEdit17", 300);
    setSpin(window, "SpinEdit18", 9);
    for (const char *name : {"SpinEdit17", "SpinEdit18"}) {
        auto *edit = window.control<QSpinBox>(name)->findChild<QLineEdit *>();
        edit->setFocus(Qt::MouseFocusReason);
        edit->clear();
    }
    // Each clock read moves a second on: the first mark ends a span of 1.
    window.platform.clockStepMs = 1000;
    window.click("BitBtn25");
    EXPECT_EQ(window.control<QSpinBox>("SpinEdit17")->value(), 1);
    EXPECT_EQ(window.control<QSpinBox>("SpinEdit18")->value(), 1);
    EXPECT_EQ(window.control<QProgressBar>("Gauge1")->maximum(), 1);
    EXPECT_EQ(window.platform.sleeps, std::vector<int>(15, 1));
}

TEST(FastTestTest, ThePollIsOffDuringTheTestAndResumesAfterIt)
{
    PanelWindow window;
    window.takeDeviceAddress();
    window.click("BitBtn1"); // "Start" of the poll
    setSpin(window, "SpinEdit17", 100);
    setSpin(window, "SpinEdit18", 1);
    window.platform.clearRecords();
    int waitsWithTimerOn = 0;
    window.platform.onSleep = [&](int) { waitsWithTimerOn += window.form().pollTimer().isOn(); };

    window.click("BitBtn25");
    EXPECT_EQ(waitsWithTimerOn, 0);
    // No 200 ms wait: "Start" of the fast test has no focus handler.
    EXPECT_EQ(window.platform.sleeps, std::vector<int>(15, 100));
    EXPECT_TRUE(window.form().pollTimer().isOn());
    EXPECT_TRUE(window.form().pollRunning());

    // Paused by a command button's focus first: the test stores "off" and
    // leaves the poll off at its end.
    window.focus("Button8");
    window.click("BitBtn25");
    EXPECT_FALSE(window.form().pollTimer().isOn());
    EXPECT_FALSE(window.form().pollRunning());
}

TEST(FastTestTest, TheCountersReadBackAfterTheTest)
{
    PanelWindow window;
    window.takeDeviceAddress();
    setSpin(window, "SpinEdit17", 20);
    setSpin(window, "SpinEdit18", 2);
    window.click("BitBtn25");
    window.sim.clearRecords();
    EXPECT_EQ(window.platform.discards, std::vector<PortHandle>{window.form().portHandle()});
    window.control<QLabel>("StaticText13")->setText("x");
    window.click("BitBtn21");
    EXPECT_EQ(window.requests(), std::vector<Bytes>{requestFrame(kDevice, 2)});
    EXPECT_EQ(window.control<QLabel>("StaticText13")->text(), "0");
}

TEST(FastTestTest, TheCountersStandInTheirOwnBoxes)
{
    PanelWindow window;
    window.takeDeviceAddress();
    // Two messages with a wrong checksum and one cut short: counters that
    // differ, so that each box shows its own.
    const PortHandle handle = window.form().portHandle();
    Bytes bad = requestFrame(kDevice, 254);
    bad.back() ^= 0x55;
    for (int n = 0; n < 2; ++n) {
        window.sim.send(handle, bad.data(), static_cast<int32_t>(bad.size()));
        window.sim.passTime(std::chrono::milliseconds(200));
    }
    const Bytes partial{kDevice, 0, 1};
    window.sim.send(handle, partial.data(), static_cast<int32_t>(partial.size()));
    window.sim.passTime(std::chrono::milliseconds(200));
    uint8_t drain[64];
    window.sim.receiveUpTo(handle, drain, static_cast<int32_t>(window.sim.pendingInput()));
    const ccsim::CommsCounters counted = window.sim.device().commsCounters();
    ASSERT_EQ(counted.badChecksums, 2);
    ASSERT_EQ(counted.interByteTimeouts, 1);

    window.click("BitBtn21");
    EXPECT_EQ(window.control<QLabel>("StaticText11")->text(), QString::number(counted.interByteTimeouts));
    EXPECT_EQ(window.control<QLabel>("StaticText12")->text(), QString::number(counted.ignoredBytes));
    EXPECT_EQ(window.control<QLabel>("StaticText13")->text(), "2");
}

TEST(FastTestTest, ClicksMadeWhileTheTestRunsAreDropped)
{
    PanelWindow window;
    window.takeDeviceAddress();
    setSpin(window, "SpinEdit17", 100);
    setSpin(window, "SpinEdit18", 1);
    // Halfway through, the user clicks "Start" again and "Clear", and
    // presses the space bar: the window is frozen, so the toolkit queues
    // the events.
    bool clicked = false;
    window.platform.onSleep = [&](int) {
        if (clicked || window.platform.sleeps.size() < 7)
            return;
        clicked = true;
        for (const char *name : {"BitBtn25", "BitBtn22"}) {
            QWidget *button = window.control<QWidget>(name);
            const QPointF centre = QRectF(button->rect()).center();
            for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(button, new QMouseEvent(type, centre, button->mapToGlobal(centre),
                                                                    Qt::LeftButton, Qt::LeftButton,
                                                                    Qt::NoModifier));
        }
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QCoreApplication::postEvent(window.control<QWidget>("BitBtn22"),
                                        new QKeyEvent(type, Qt::Key_Space, Qt::NoModifier, " "));
    };
    window.click("BitBtn25");
    ASSERT_TRUE(clicked);
    QCoreApplication::processEvents();

    // One test of one cycle, and no "Clear" (header 3) on the wire.
    EXPECT_EQ(window.platform.rawWrites.size(), 15u);
    for (const Bytes &request : window.requests())
        EXPECT_NE(request.at(3), 3) << "a queued click ran";
    // The window takes input again once the test is over.
    window.sim.clearRecords();
    window.click("BitBtn22");
    EXPECT_EQ(window.requests(), std::vector<Bytes>{requestFrame(kDevice, 3)});
}
