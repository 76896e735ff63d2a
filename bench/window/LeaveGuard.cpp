#include "LeaveGuard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QWidget>

LeaveGuard::LeaveGuard(QWidget *guarded, Refuse refuse)
    : QObject(guarded), m_guarded(guarded), m_refuse(std::move(refuse))
{
}

LeaveGuard::~LeaveGuard()
{
    setArmed(false);
}

void LeaveGuard::setArmed(bool armed)
{
    if (armed == m_armed)
        return;
    m_armed = armed;
    m_releasePending = false;
    if (armed)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

QWidget *LeaveGuard::inGuardedWindow(QObject *target) const
{
    // A shortcut object belongs to the widget that it was made for.
    while (target && !target->isWidgetType())
        target = target->parent();
    auto *widget = static_cast<QWidget *>(target);
    if (!widget || widget->window() != m_guarded->window())
        return nullptr;
    return widget;
}

bool LeaveGuard::actsOutside(QWidget *target) const
{
    if (target == m_guarded || m_guarded->isAncestorOf(target))
        return false;
    // As the mouse gives the focus: to the first enabled widget from the
    // target up that takes it on a click. A button acts even without it.
    for (const QWidget *w = target; w && !w->isWindow(); w = w->parentWidget()) {
        if (w->isEnabled() && (qobject_cast<const QAbstractButton *>(w) || (w->focusPolicy() & Qt::ClickFocus)))
            return true;
    }
    return false;
}

bool LeaveGuard::refused()
{
    m_refuse();
    return true;
}

bool LeaveGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_guarded->isVisible())
        return false;
    switch (event->type()) {
    case QEvent::Shortcut:
        return inGuardedWindow(watched) ? refused() : false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Events on their way to a widget: the window itself keeps its
        // own record of the buttons.
        m_releasePending = false;
        if (!watched->isWidgetType() || !inGuardedWindow(watched) || !actsOutside(static_cast<QWidget *>(watched)))
            return false;
        m_releasePending = true;
        return refused();
    case QEvent::MouseButtonRelease:
        if (!watched->isWidgetType() || !m_releasePending)
            return false;
        m_releasePending = false;
        return true;
    case QEvent::Wheel:
        if (!watched->isWidgetType() || !inGuardedWindow(watched) || !actsOutside(static_cast<QWidget *>(watched)))
            return false;
        return refused();
    default:
        return false;
    }
}
