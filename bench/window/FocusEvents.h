// Calls a function when the keyboard focus enters or leaves a widget inside
// the window. Focus changes caused by switching windows or by pop-ups (a
// message box opening or closing) do not count. Nor does an entry that Qt
// makes on its own because the widget holding the focus was hidden or
// disabled (the page that held it was switched away, a handler disabled the
// focused button): the user did not move the focus there.
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

class FocusEvents : public QObject
{
public:
    using Callback = std::function<void()>;

    explicit FocusEvents(QObject *parent = nullptr);

    void onEnter(QWidget *widget, Callback callback);
    void onExit(QWidget *widget, Callback callback);
    bool hasEnter(const QWidget *widget) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QHash<const QObject *, Callback> m_enter;
    QHash<const QObject *, Callback> m_exit;
    // The widget holding the focus before the change being delivered.
    QPointer<QWidget> m_focused;
};
