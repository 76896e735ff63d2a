#include "ChannelRows.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "CoinIdField.h"
#include "PathSpinBox.h"

namespace {

// Rows start under the group's "Read All" line and stand 24 pixels apart.
constexpr int kFirstRowTop = 42;
constexpr int kRowStep = 24;
constexpr int kRowHeight = 21;

template <typename Control>
Control *rowControl(QWidget *panel, const QString &name, int channel, int left, int top,
                    int width, int height = kRowHeight)
{
    auto *control = new Control(panel);
    control->setObjectName(name);
    setTag(control, channel);
    control->setGeometry(left, top, width, height);
    return control;
}

QPushButton *rowButton(QWidget *panel, const QString &name, const QString &caption, int channel,
                       int left, int top)
{
    auto *button = rowControl<QPushButton>(panel, name, channel, left, top, 42);
    button->setText(caption);
    return button;
}

QLabel *rowLabel(QWidget *panel, const QString &name, int channel, int left, int top)
{
    auto *label = rowControl<QLabel>(panel, name, channel, left, top + 2, 58, 17);
    label->setText(QStringLiteral("Channel %1").arg(channel));
    return label;
}

void buildRow(ChannelPanels &panels, int channel, QGroupBox *sorterGroup,
              QGroupBox *enableGroup, QGroupBox *coinIdGroup)
{
    const int top = kFirstRowTop + kRowStep * (channel - 1);
    const QString n = QString::number(channel);

    SorterRow &sorter = panels.sorter[channel - 1];
    sorter.read = rowButton(sorterGroup, sorterReadName(channel), QStringLiteral("Read"), channel, 8, top);
    sorter.label = rowLabel(sorterGroup, QStringLiteral("SorterChannelLabel") + n, channel, 54, top);
    sorter.path = rowControl<PathSpinBox>(sorterGroup, QStringLiteral("SpinEdit") + n, channel, 114, top, 44);
    sorter.path->setValue(0);
    sorter.write = rowButton(sorterGroup, sorterWriteName(channel), QStringLiteral("Write"), channel, 164, top);
    sorter.write->setEnabled(false);

    QCheckBox *box = rowControl<QCheckBox>(enableGroup, QStringLiteral("CheckBox%1").arg(6 + channel),
                                           channel, 8, top + 2, 80, 17);
    box->setText(QStringLiteral("Channel %1").arg(channel));
    panels.enable[channel - 1] = box;

    CoinIdRow &coin = panels.coinId[channel - 1];
    coin.read = rowButton(coinIdGroup, coinIdReadName(channel), QStringLiteral("Read"), channel, 8, top);
    coin.label = rowLabel(coinIdGroup, QStringLiteral("Label%1").arg(22 + channel), channel, 54, top);
    coin.identifier = rowControl<CoinIdField>(coinIdGroup, QStringLiteral("MaskEdit") + n, channel, 114, top, 80);
    coin.identifier->setProperty("look", QStringLiteral("courier11"));
    // The two separators, blanks in the six places.
    coin.identifier->setFieldText(QStringLiteral("  _   _ "));
    coin.write = rowButton(coinIdGroup, coinIdWriteName(channel), QStringLiteral("Write"), channel, 200, top);
    coin.write->setProperty("look", QStringLiteral("blueCaption"));
    coin.write->setEnabled(false);
}

} // namespace

int tagOf(const QObject *control)
{
    return control ? control->property("tag").toInt() : 0;
}

void setTag(QObject *control, int channel)
{
    control->setProperty("tag", channel);
}

QString sorterReadName(int channel)
{
    return QStringLiteral("Button%1").arg(channel <= 2 ? 8 + channel : 24 + channel);
}

QString sorterWriteName(int channel)
{
    return QStringLiteral("Button%1").arg(10 + channel);
}

QString coinIdReadName(int channel)
{
    return QStringLiteral("Button%1").arg(60 + channel);
}

QString coinIdWriteName(int channel)
{
    return QStringLiteral("Button%1").arg(44 + channel);
}

ChannelPanels buildChannelPanels(QGroupBox *sorterGroup, QGroupBox *enableGroup,
                                 QGroupBox *coinIdGroup)
{
    ChannelPanels panels;
    for (int channel = 1; channel <= kChannelCount; ++channel)
        buildRow(panels, channel, sorterGroup, enableGroup, coinIdGroup);
    return panels;
}
