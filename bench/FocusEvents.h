// Calls a function when the keyboard focus enters or leaves a widget inside
// the window: moved by a click, the Tab key or the program. Focus changes
// caused by switching windows or by pop-ups (a message box opening or
// closing) do not count.
#pragma once

#include <QHash>
#include <QObject>

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
};
