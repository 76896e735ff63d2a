// Keeps the mouse and the shortcuts of a window from leaving one widget of
// it. While armed, and while the widget is shown, these never reach the
// control they were meant for, and each is reported as an attempt to leave:
// - a press or double click on another enabled control of the window that
//   would act on it or take the focus (a button, a spin box, the page tabs),
//   and the release that ends it;
// - a turn of the wheel over such a control;
// - a shortcut or mnemonic of the window.
// This holds whether or not the window is active: a click that activates
// the window is still a click on the control. Other windows (the error box
// among them) are left alone, and so is everything inside the widget.
//
// The keyboard inside the widget (Tab, Ctrl+Tab) is the widget's own to
// refuse.
#pragma once

#include <QObject>
#include <QPointF>

#include <functional>

class QWidget;

class LeaveGuard : public QObject
{
public:
    using Refuse = std::function<void()>;

    LeaveGuard(QWidget *guarded, Refuse refuse);
    ~LeaveGuard() override;

    void setArmed(bool armed);
    bool isArmed() const { return m_armed; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The widget of the window that owns target (target itself, or the
    // widget that a shortcut object belongs to); nullptr for another window.
    QWidget *inGuardedWindow(QObject *target) const;
    // Whether a press or a wheel turn on target would act outside the
    // guarded widget.
    bool actsOutside(QWidget *target) const;
    bool refused();

    QWidget *m_guarded;
    Refuse m_refuse;
    bool m_armed = false;
    // A press was kept from a control: so is the release that ends it.
    bool m_releasePending = false;
};
