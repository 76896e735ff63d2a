#include "PollTimer.h"

PollTimer::PollTimer(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Timer1"));
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PollTimer::tick);
}

void PollTimer::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    apply();
}

void PollTimer::setInterval(int milliseconds)
{
    if (milliseconds == m_interval)
        return;
    m_interval = milliseconds;
    apply();
}

void PollTimer::apply()
{
    if (m_on && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}
