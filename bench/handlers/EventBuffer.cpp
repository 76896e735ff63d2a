// The event buffer ("Events buffer" group and the repeating poll of the
// "Shot" group) and the master inhibit read ("GetMaster").
#include "First.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "DisplayFormat.h"
#include "DisplayOnly.h"
#include "IntegerText.h"
#include "PollTimer.h"
#include "ui_First.h"

namespace {

// The event record: the counter, then five (result A, result B) pairs.
constexpr int kEventPairs = 5;

// The interval field's text and value when what was typed is refused.
const char kDefaultIntervalText[] = "    500";
constexpr int kDefaultIntervalMs = 500;

} // namespace

void TMainForm::wireEventBuffer()
{
    onClick(ui->BitBtn19, &TMainForm::BitBtn19Click);
    onClick(ui->Button8, &TMainForm::Button8Click);
    onClick(ui->BitBtn1, &TMainForm::BitBtn1Click);
    onClick(ui->BitBtn24, &TMainForm::BitBtn24Click);
    onExit(ui->Edit1, &TMainForm::Edit1Exit);
    // A tick is checked as "Read" is, without the busy cursor: the poll
    // runs while the technician works.
    connect(m_timer, &PollTimer::tick, this, [this] { runCommand(ui->BitBtn19, [this] { Timer1Timer(); }, false); });

    m_pollLamp = {ui->Image25, ui->Image26};
    // "Inhibit" only shows what "GetMaster" read; clicking it sends nothing.
    makeDisplayOnly(ui->CheckBox23);
}

void TMainForm::readEventBuffer()
{
    // Cleared before every read: the library writes only the bytes it
    // received, so a failed read shows a zero counter and five zero pairs,
    // and a short reply shows zeros for the bytes that did not come,
    // rather than what an earlier reply left behind.
    m_eventBuffer.fill(0);
    CCGet_Buffer(&m_portHandle, m_currentAddress, m_eventBuffer.data());

    QTableWidget *grid = ui->StringGrid1;
    grid->item(0, 0)->setText(format2u(m_eventBuffer[0]));
    for (int k = 1; k <= kEventPairs; ++k) {
        grid->item(k, 0)->setText(format2u(static_cast<uint32_t>(k)));
        grid->item(k, 1)->setText(format5u(m_eventBuffer[2 * k - 1]));
        grid->item(k, 2)->setText(format5u(m_eventBuffer[2 * k]));
    }
    resumePoll();
}

// "Read" of "Events buffer"
void TMainForm::BitBtn19Click()
{
    readEventBuffer();
}

// Tick of the repeating poll: the read, then the lamp changes between on
// and off.
void TMainForm::Timer1Timer()
{
    readEventBuffer();
    m_pollLamp.setLit(!m_pollLamp.off->isHidden());
}

// "Start": a timer that is running already keeps its period.
void TMainForm::BitBtn1Click()
{
    m_timer->setOn(true);
    m_pollRunning = true;
    m_pollLamp.setLit(true);
}

// "Stop"
void TMainForm::BitBtn24Click()
{
    m_timer->setOn(false);
    m_pollRunning = false;
    m_pollLamp.setLit(false);
}

// The interval field, when it loses the focus after the user edited it.
void TMainForm::Edit1Exit()
{
    QLineEdit *field = ui->Edit1;
    if (!field->isModified())
        return;
    field->setModified(false);
    int32_t interval = 0;
    // A negative interval is refused like text that is not a number: the
    // timer counts milliseconds from now on, and there is no past to count.
    if (tryReadInteger(field->text().toStdString(), interval) && interval >= 0) {
        m_timer->setInterval(interval);
    } else {
        field->setText(QString::fromLatin1(kDefaultIntervalText));
        m_timer->setInterval(kDefaultIntervalMs);
    }
}

// "GetMaster": the box is ticked when the device's master inhibit is active.
void TMainForm::Button8Click()
{
    ui->CheckBox23->setChecked(CCGet_Master_Inhibit(&m_portHandle, m_currentAddress) != 0);
    resumePoll();
}
