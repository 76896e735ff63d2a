#include "DisplayOnly.h"

#include <QEvent>
#include <QObject>
#include <QWidget>

namespace {

class InputSwallower : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

void makeDisplayOnly(QWidget *control)
{
    control->setFocusPolicy(Qt::NoFocus);
    control->installEventFilter(new InputSwallower(control));
}
