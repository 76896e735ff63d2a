#include "EnterKey.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace {

class EnterAsSpace : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        // With Ctrl, Alt or Shift the key is not the plain Enter.
        if (key->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier))
            return false;
        QKeyEvent space(event->type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                        key->isAutoRepeat());
        QCoreApplication::sendEvent(watched, &space);
        return true;
    }
};

} // namespace

void letEnterPressButtons(QWidget *window)
{
    auto *filter = new EnterAsSpace(window);
    const QList<QPushButton *> buttons = window->findChildren<QPushButton *>();
    for (QPushButton *button : buttons)
        button->installEventFilter(filter);
}
