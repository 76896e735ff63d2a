// The fast test ("Fast test" group): serial-number requests written straight
// to the open port, five to the device under test and five to each of two
// random addresses per cycle, for a span of seconds.
#include "First.h"

#include <QDateTime>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "BenchPlatform.h"
#include "DisplayFormat.h"
#include "PollTimer.h"
#include "QueuedInput.h"
#include "ui_First.h"

namespace {

// One cycle: requests 0 to 4 to the device under test, 5 to 9 and 10 to 14
// each to one random address.
constexpr int kCycleLength = 15;
constexpr int kFirstRandomSlot = 5;
constexpr int kSecondRandomSlot = 10;
constexpr int kLastSlot = kCycleLength - 1;

constexpr uint8_t kHostAddress = 1;
constexpr uint8_t kSerialNumberHeader = 242;
constexpr int kFrameSize = 5;
// What is read back after a request to the device under test.
constexpr int kReplyReadMax = 8;

// Random destinations: any address but 0 (every device) and the top ones.
constexpr int kLowestRandomAddress = 1;
constexpr int kHighestRandomAddress = 252;

// A spin field's value; text that is not a number counts as the minimum.
int spinFieldValue(QSpinBox *field)
{
    field->interpretText();
    return field->value();
}

} // namespace

void TMainForm::wireFastTestAndComms()
{
    onClick(ui->BitBtn25, &TMainForm::BitBtn25Click);
    onClick(ui->BitBtn21, &TMainForm::BitBtn21Click); // CommsCounters.cpp
    onClick(ui->BitBtn22, &TMainForm::BitBtn22Click);
    // QSpinBox would put the previous value back for text it cannot read;
    // here such text counts as the field's minimum.
    for (QSpinBox *field : {ui->SpinEdit17, ui->SpinEdit18})
        field->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

// "Start" of "Fast test"
void TMainForm::BitBtn25Click()
{
    // The pause on focus without its wait: this button has no focus handler.
    m_pollRunning = m_timer->isOn();
    m_timer->setOn(false);

    const int gap = spinFieldValue(ui->SpinEdit17);
    const int span = spinFieldValue(ui->SpinEdit18);
    QProgressBar *gauge = ui->Gauge1;
    gauge->setMaximum(span);
    gauge->setValue(0);
    const QDateTime start = m_platform.currentDateTime();

    // Room for the request and for the reply bytes read back into it.
    uint8_t frame[kReplyReadMax] = {};
    uint8_t destination = m_currentAddress;
    std::uniform_int_distribution<int> randomAddress(kLowestRandomAddress, kHighestRandomAddress);
    int slot = kLastSlot;
    do {
        slot = (slot + 1) % kCycleLength;
        if (slot < kFirstRandomSlot)
            destination = m_currentAddress;
        else if (slot == kFirstRandomSlot || slot == kSecondRandomSlot)
            destination = static_cast<uint8_t>(randomAddress(m_random));

        frame[0] = destination;
        frame[1] = 0;
        frame[2] = kHostAddress;
        frame[3] = kSerialNumberHeader;
        // The five bytes add up to 0 modulo 256.
        frame[4] = static_cast<uint8_t>(13u - destination);
        // The seam refuses a handle that the serial layer has not opened: with
        // no port nothing is written or read, and the test runs its span. The
        // write returns once the frame is on the wire: however short the gap,
        // the requests never run ahead of the line.
        m_platform.writePort(m_portHandle, frame, kFrameSize);
        if (destination == m_currentAddress)
            m_platform.readPortUpTo(m_portHandle, frame, kReplyReadMax);
        m_platform.sleepMs(gap);

        if (slot == kLastSlot) {
            const qint64 elapsed =
                std::llabs(start.msecsTo(m_platform.currentDateTime())) / 1000;
            setDisplayText(ui->Label52, formatU(static_cast<uint32_t>(elapsed)));
            // The gauge stops at its maximum; the label is not clamped.
            gauge->setValue(static_cast<int>(std::min<qint64>(elapsed, gauge->maximum())));
            repaint();
        }
    } while (gauge->value() != span);

    // Nothing reads the echoes of the requests to other addresses, nor the
    // rest of the replies beyond 8 bytes: left in the port, they would be
    // taken for the echo and reply of the next command, and the counters
    // that tell how the test went could not be read. Every write was on the
    // wire before the test went on, so the line falls quiet at once.
    m_platform.discardPortInput(m_portHandle);

    setDisplayText(ui->Label52, QStringLiteral("Finish"));
    gauge->setValue(0);
    // The window handled no input while the test ran; the clicks and keys
    // of that time ("Start" again, "Clear", "Close") are dropped rather than
    // run now, on a window the user thought was not listening.
    dropQueuedUserInput();
    resumePoll();
}
