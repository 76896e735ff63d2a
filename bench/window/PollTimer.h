// The window's repeating poll timer (Timer1). "On" is a logical state: the
// timer may be on with an interval of 0, and then it never ticks (a QTimer
// at 0 would fire at every pass of the event loop).
#pragma once

#include <QObject>
#include <QTimer>

class PollTimer : public QObject
{
    Q_OBJECT

public:
    explicit PollTimer(QObject *parent = nullptr);

    bool isOn() const { return m_on; }
    // Turning on a timer that is already on keeps its period running.
    void setOn(bool on);

    int interval() const { return m_interval; }
    // In milliseconds. A new value restarts a running timer with a full
    // period; 0 or less gives no ticks while the timer is on.
    void setInterval(int milliseconds);

    // Whether the underlying QTimer is counting (on with a positive interval).
    bool isTicking() const { return m_timer.isActive(); }

signals:
    // One period has passed while the timer is on.
    void tick();

private:
    void apply();

    QTimer m_timer;
    bool m_on = false;
    int m_interval = 500;
};
