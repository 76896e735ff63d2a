// The window's platform for tests: dialogs are answered and recorded, waits
// move a virtual clock instead of sleeping. The normalisation tool and the
// raw port access stay real (they reach the port backend of the test).
#pragma once

#include <QDateTime>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

#include "SystemPlatform.h"

class FakePlatform : public SystemPlatform
{
public:
    FakePlatform();

    void showMessage(QWidget *owner, const QString &text) override;
    void showError(QWidget *owner, const QString &text) override;
    bool confirm(QWidget *owner, const QString &text) override;
    // Boxes shown aside are recorded with the others, and in aside too.
    void showMessageAside(QWidget *owner, const QString &text) override;
    void showErrorAside(QWidget *owner, const QString &text) override;
    void withdrawAsideBox() override;
    void sleepMs(int milliseconds) override;
    QDateTime currentDateTime() override;
    QString shortDateFormat() override;

    // Forgets what was recorded.
    void clear();

    QStringList messages;      // plain message boxes, in order
    QStringList errors;        // error boxes, in order
    QStringList confirmations; // texts of the confirmation dialogs
    QStringList aside;         // messages and errors shown aside, in order
    QString asideUp;           // the aside box still shown, empty when none
    std::vector<int> sleeps;   // every wait, in milliseconds
    // Called at every wait, before it is recorded: lets a test look at the
    // window while it waits.
    std::function<void(int milliseconds)> onSleep;
    // Answers of the next confirmations; true when none is left.
    std::deque<bool> answers;
    QDateTime now;
    QString dateFormat = QStringLiteral("dd/MM/yyyy");
};
