// The "Channel sorter" and "Channel enable" groups of page "Group 2": each
// channel's sorter path, read and written one row at a time or all sixteen,
// and the channel enable mask.
#include "First.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

#include "PathSpinBox.h"
#include "ui_First.h"

void TMainForm::wireChannelPanel()
{
    for (const SorterRow &row : m_channels.sorter) {
        onClick(row.read, &TMainForm::Button9Click);
        onClick(row.write, &TMainForm::Button11Click);
        // Every path field is a PathSpinBox (ChannelRows.cpp).
        auto *path = static_cast<PathSpinBox *>(row.path);
        connect(path, &PathSpinBox::changed, this,
                [this, path] { guarded([this, path] { SpinEdit1Change(path); }); });
    }
    onClick(ui->BitBtn17, &TMainForm::BitBtn17Click);
    onClick(ui->BitBtn18, &TMainForm::BitBtn18Click);
    onClick(ui->Button7, &TMainForm::Button7Click);
    onClick(ui->Button6, &TMainForm::Button6Click);
    onClick(ui->Button77, &TMainForm::Button77Click);
    onClick(ui->Button78, &TMainForm::Button78Click);
    // "Write All" names the last channel until its first run.
    setTag(ui->Button78, kChannelCount);
}

const SorterRow *TMainForm::sorterRowOf(const QObject *trigger) const
{
    const int channel = tagOf(trigger);
    if (channel < 1 || channel > kChannelCount)
        return nullptr;
    return &m_channels.sorter[channel - 1];
}

// "Write" in "Channel enable": the ticked boxes as the mask, bit n - 1 for
// channel n.
void TMainForm::BitBtn17Click()
{
    uint16_t mask = 0;
    for (int n = 1; n <= kChannelCount; ++n) {
        if (m_channels.enable[n - 1]->isChecked())
            mask |= static_cast<uint16_t>(1u << (n - 1));
    }
    CCSet_Channel_Enable(&m_portHandle, m_currentAddress, mask);
    resumePoll();
}

// "Read" in "Channel enable": the mask (0 when the exchange failed) ticks
// the boxes.
void TMainForm::BitBtn18Click()
{
    const uint16_t mask = CCGet_Channel_Enable(&m_portHandle, m_currentAddress);
    for (int n = 1; n <= kChannelCount; ++n)
        m_channels.enable[n - 1]->setChecked((mask >> (n - 1)) & 1u);
    resumePoll();
}

// "All": every channel box ticked and the mask written (65535).
void TMainForm::Button7Click()
{
    for (QCheckBox *box : m_channels.enable)
        box->setChecked(true);
    BitBtn17Click();
}

// "Any": every channel box unticked and the mask written (0).
void TMainForm::Button6Click()
{
    for (QCheckBox *box : m_channels.enable)
        box->setChecked(false);
    BitBtn17Click();
}

// A path field changed (typed, spun, or set by a read that changed it): the
// channel's "Write" and "Write All" become available.
void TMainForm::SpinEdit1Change(QObject *trigger)
{
    if (const SorterRow *row = sorterRowOf(trigger))
        row->write->setEnabled(true);
    ui->Button78->setEnabled(true);
    resumePoll();
}

// A channel's "Write", or one step of "Write All": the channel's path goes to
// the device; an acknowledged write disables the triggering button.
void TMainForm::Button11Click(QObject *trigger)
{
    if (const SorterRow *row = sorterRowOf(trigger)) {
        const auto channel = static_cast<uint8_t>(tagOf(trigger));
        const auto path = static_cast<uint8_t>(row->path->value());
        if (CCModify_Sorter(&m_portHandle, m_currentAddress, channel, path))
            static_cast<QWidget *>(trigger)->setEnabled(false);
    }
    resumePoll();
}

// A channel's "Read", or one step of "Read All": the device's path (0 when the
// exchange failed), brought into 0..8, into the channel's field; the
// channel's "Write" is disabled even when setting the field enabled it.
void TMainForm::Button9Click(QObject *trigger)
{
    if (const SorterRow *row = sorterRowOf(trigger)) {
        const auto channel = static_cast<uint8_t>(tagOf(trigger));
        const uint8_t path = CCRequest_Sorter(&m_portHandle, m_currentAddress, channel);
        row->path->setValue(std::clamp<int>(path, PathSpinBox::kLowest, PathSpinBox::kHighest));
        row->write->setEnabled(false);
    }
    resumePoll();
}

// "Read All": channels 1 to 16 in order, "Read All" itself naming the channel.
void TMainForm::Button77Click()
{
    forEachChannel(ui->Button77, &TMainForm::Button9Click);
}

// "Write All": channels 1 to 16 in order, a failed channel not stopping the
// run; afterwards no channel's own "Write" is left enabled.
void TMainForm::Button78Click()
{
    forEachChannel(ui->Button78, &TMainForm::Button11Click);
    for (const SorterRow &row : m_channels.sorter)
        row.write->setEnabled(false);
}
