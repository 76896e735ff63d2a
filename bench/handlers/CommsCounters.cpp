// The "Comms" group: the device's counters of its serial link errors.
#include "First.h"

#include <QLabel>

#include "DisplayFormat.h"
#include "ui_First.h"

void TMainForm::showCommsCounters(const uint8_t counters[3])
{
    setDisplayText(ui->StaticText11, formatU(counters[0])); // "Timeout"
    setDisplayText(ui->StaticText12, formatU(counters[1])); // "Lost bytes"
    setDisplayText(ui->StaticText13, formatU(counters[2])); // "Err checksum"
}

// "Read": a failed read leaves the three boxes as they were.
void TMainForm::BitBtn21Click()
{
    uint8_t counters[3] = {};
    if (CCGet_CommsStatus(&m_portHandle, m_currentAddress, counters))
        showCommsCounters(counters);
    resumePoll();
}

// "Clear": a failed clear leaves the three boxes as they were.
void TMainForm::BitBtn22Click()
{
    if (CCClearsCom(&m_portHandle, m_currentAddress)) {
        const uint8_t cleared[3] = {0, 0, 0};
        showCommsCounters(cleared);
    }
    resumePoll();
}
