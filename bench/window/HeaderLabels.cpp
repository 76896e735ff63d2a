#include "HeaderLabels.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace {

// Button, then its label: "Init" (which reads the serial number) and
// "Serial Number", page "Group 1" top to bottom, the I/O groups, the event
// buffer, the channel enable group, and the window's own.
const char *const kCommandLabels[][2] = {
    {"Button41", "Label55"},         {"BitBtn2", "Label55"},          {"BitBtn15", "HeaderLabel001"}, {"BitBtn5", "HeaderLabel254"},
    {"BitBtn6", "HeaderLabel253"},   {"BitBtn7", "HeaderLabel251"},  {"BitBtn8", "HeaderLabel250"},
    {"BitBtn9", "HeaderLabel249"},   {"BitBtn10", "HeaderLabel248"}, {"BitBtn11", "HeaderLabel246"},
    {"BitBtn12", "HeaderLabel245"},  {"BitBtn13", "HeaderLabel244"}, {"BitBtn14", "HeaderLabel243"},
    {"BitBtn16", "HeaderLabel241"},  {"Button8", "HeaderLabel227"},  {"Button42", "HeaderLabel196"},
    {"Button43", "HeaderLabel195"},  {"Button44", "HeaderLabel192"}, {"BitBtn3", "HeaderLabel169"},
    {"BitBtn20", "HeaderLabel004"},  {"Button5", "HeaderLabel233"},  {"Button2", "HeaderLabel238"},
    {"Button3", "HeaderLabel237"},   {"Button4", "HeaderLabel236"},  {"Button1", "HeaderLabel240"},
    {"BitBtn19", "HeaderLabel229"},  {"Button77", "HeaderLabel209"}, {"Button78", "HeaderLabel210"},
    {"Button79", "HeaderLabel184"},  {"BitBtn18", "HeaderLabel230"}, {"BitBtn17", "HeaderLabel231"},
    {"Button7", "HeaderLabel231"},   {"Button6", "HeaderLabel231"},  {"BitBtn21", "Label78"},
    {"BitBtn22", "Label79"},
};

} // namespace

HeaderLabels findHeaderLabels(const QWidget *window, const ChannelPanels &panels)
{
    HeaderLabels labels;
    for (const auto &pair : kCommandLabels) {
        auto *button = window->findChild<QPushButton *>(QLatin1String(pair[0]));
        auto *label = window->findChild<QLabel *>(QLatin1String(pair[1]));
        if (button && label)
            labels.insert(button, label);
    }
    // A row's buttons share their panel's label with "Read All" and
    // "Write All".
    QLabel *sorterRead = labels.value(window->findChild<QPushButton *>(QStringLiteral("Button77")));
    QLabel *sorterWrite = labels.value(window->findChild<QPushButton *>(QStringLiteral("Button78")));
    QLabel *coinIdRead = labels.value(window->findChild<QPushButton *>(QStringLiteral("Button79")));
    QLabel *coinIdWrite = window->findChild<QLabel *>(QStringLiteral("HeaderLabel185"));
    for (int n = 0; n < kChannelCount; ++n) {
        labels.insert(panels.sorter[n].read, sorterRead);
        labels.insert(panels.sorter[n].write, sorterWrite);
        labels.insert(panels.coinId[n].read, coinIdRead);
        labels.insert(panels.coinId[n].write, coinIdWrite);
    }
    if (auto *send = window->findChild<QPushButton *>(QStringLiteral("BitBtn23")))
        labels.insert(send, nullptr);
    return labels;
}
