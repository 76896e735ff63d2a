// The three 16-row channel panels of page "Group 2", built by one row
// builder: every control gets its object name and, as its "tag" property,
// the channel number 1 to 16 that the shared handlers read.
#pragma once

#include <QString>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class CoinIdField;
class QObject;
class QPushButton;
class QSpinBox;

inline constexpr int kChannelCount = 16;

// A control's channel number (its tag); 0 when it has none.
int tagOf(const QObject *control);
void setTag(QObject *control, int channel);

struct SorterRow {
    QPushButton *read = nullptr;  // "Read": Button9, Button10, Button27..Button40
    QLabel *label = nullptr;      // "Channel n"
    QSpinBox *path = nullptr;     // SpinEdit1..SpinEdit16, 0 to 8 (a PathSpinBox)
    QPushButton *write = nullptr; // "Write": Button11, Button12, Button13..Button26
};

struct CoinIdRow {
    QPushButton *read = nullptr;       // "Read": Button61..Button76
    QLabel *label = nullptr;           // Label23..Label38, "Channel n"
    CoinIdField *identifier = nullptr; // MaskEdit1..MaskEdit16
    QPushButton *write = nullptr;      // "Write": Button45..Button60
};

// Index channel - 1.
struct ChannelPanels {
    std::array<SorterRow, kChannelCount> sorter{};
    std::array<QCheckBox *, kChannelCount> enable{}; // CheckBox7..CheckBox22
    std::array<CoinIdRow, kChannelCount> coinId{};
};

// Object names of row n's controls.
QString sorterReadName(int channel);
QString sorterWriteName(int channel);
QString coinIdReadName(int channel);
QString coinIdWriteName(int channel);

// Builds the rows into the three group boxes of the layout.
ChannelPanels buildChannelPanels(QGroupBox *sorterGroup, QGroupBox *enableGroup,
                                 QGroupBox *coinIdGroup);
