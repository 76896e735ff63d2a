#include "FocusEvents.h"

#include <QApplication>
#include <QFocusEvent>
#include <QWidget>

FocusEvents::FocusEvents(QObject *parent) : QObject(parent)
{
    // Qt reports the change after delivering the focus events, so during
    // a FocusIn m_focused still names the widget that lost the focus.
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { m_focused = now; });
}

void FocusEvents::onEnter(QWidget *widget, Callback callback)
{
    m_enter.insert(widget, std::move(callback));
    widget->installEventFilter(this);
}

void FocusEvents::onExit(QWidget *widget, Callback callback)
{
    m_exit.insert(widget, std::move(callback));
    widget->installEventFilter(this);
}

bool FocusEvents::hasEnter(const QWidget *widget) const
{
    return m_enter.contains(widget);
}

bool FocusEvents::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::FocusIn && type != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return false;
    if (type == QEvent::FocusIn && m_focused && m_focused != watched
        && (!m_focused->isVisible() || !m_focused->isEnabled()))
        return false;
    const auto &callbacks = type == QEvent::FocusIn ? m_enter : m_exit;
    const auto found = callbacks.constFind(watched);
    if (found != callbacks.constEnd()) {
        // A copy: the callback may show a dialog that changes the tables.
        const Callback callback = found.value();
        callback();
    }
    return false;
}
