#include "QueuedInput.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace {

class UserInputEater : public QObject
{
protected:
    bool eventFilter(QObject *, QEvent *event) override { return event->isInputEvent(); }
};

} // namespace

void dropQueuedUserInput()
{
    UserInputEater eater;
    QCoreApplication::instance()->installEventFilter(&eater);
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&eater);
}
