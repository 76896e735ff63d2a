// The I/O test panel of page "Group 1": solenoid test, output test ("Shot"
// and "Latch"), and the input and opto reads shown on two columns of lamps.
#include "First.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <iterator>

#include "ui_First.h"

namespace {

// CCTestOutput's mode: test the outputs once, or latch them.
constexpr uint8_t kOutputShot = 0;
constexpr uint8_t kOutputLatch = 1;

} // namespace

void TMainForm::wireIoPanel()
{
    onClick(ui->Button1, &TMainForm::Button1Click);
    onClick(ui->Button2, &TMainForm::Button2Click);
    onClick(ui->Button5, &TMainForm::Button5Click);
    onClick(ui->Button3, &TMainForm::Button3Click);
    onClick(ui->Button4, &TMainForm::Button4Click);

    // Line k of a column is the pair of pictures k, top to bottom.
    m_inputLamps = {{{ui->Image1, ui->Image2}, {ui->Image3, ui->Image4}, {ui->Image5, ui->Image6},
                     {ui->Image7, ui->Image8}, {ui->Image9, ui->Image10},
                     {ui->Image11, ui->Image12}}};
    m_optoLamps = {{{ui->Image13, ui->Image14}, {ui->Image15, ui->Image16},
                    {ui->Image17, ui->Image18}, {ui->Image19, ui->Image20},
                    {ui->Image21, ui->Image22}, {ui->Image23, ui->Image24}}};
}

uint8_t TMainForm::solenoidIndex() const
{
    const QRadioButton *const items[] = {ui->RadioGroup1Item1, ui->RadioGroup1Item2,
                                         ui->RadioGroup1Item3, ui->RadioGroup1Item4};
    for (uint8_t index = 0; index < std::size(items); ++index) {
        if (items[index]->isChecked())
            return index;
    }
    // The items are exclusive and one is checked from the start, so the
    // user cannot reach this; the first solenoid is the safe answer.
    return 0;
}

uint8_t TMainForm::outputMask() const
{
    const QCheckBox *const boxes[] = {ui->CheckBox1, ui->CheckBox2, ui->CheckBox3,
                                      ui->CheckBox4, ui->CheckBox5, ui->CheckBox6};
    uint8_t mask = 0;
    for (size_t k = 0; k < std::size(boxes); ++k) {
        if (boxes[k]->isChecked())
            mask |= static_cast<uint8_t>(1u << k);
    }
    return mask;
}

void TMainForm::showLineStates(const LampColumn &lamps, uint8_t states)
{
    // Bit k - 1 is line k; bits 6 and 7 have no lamp.
    for (size_t k = 0; k < lamps.size(); ++k)
        lamps[k].setLit(states & (1u << k));
}

// "Test" of "Test solenoid": the library turns the index into a mask.
void TMainForm::Button1Click()
{
    CCTestSolenoid(&m_portHandle, m_currentAddress, solenoidIndex());
    resumePoll();
}

// "Shot"
void TMainForm::Button2Click()
{
    CCTestOutput(&m_portHandle, m_currentAddress, outputMask(), kOutputShot);
    resumePoll();
}

// "Latch"
void TMainForm::Button5Click()
{
    CCTestOutput(&m_portHandle, m_currentAddress, outputMask(), kOutputLatch);
    resumePoll();
}

// "Test" of "Test Input". A failed read gives 0: every lamp off.
void TMainForm::Button3Click()
{
    showLineStates(m_inputLamps, CCGet_InputLines(&m_portHandle, m_currentAddress));
    resumePoll();
}

// "Test" of "Test Opto". A failed read gives 0: every lamp off.
void TMainForm::Button4Click()
{
    showLineStates(m_optoLamps, CCGet_Opto_Status(&m_portHandle, m_currentAddress));
    resumePoll();
}
