#include "Lamp.h"

#include <QLabel>

void Lamp::setLit(bool lit) const
{
    off->setVisible(!lit);
    on->setVisible(lit);
}

bool Lamp::isLit() const
{
    // isHidden, not isVisible: the lamps keep their state while the window
    // or their page is not shown.
    return !on->isHidden();
}
