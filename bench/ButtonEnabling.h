// Disabling the button that holds the keyboard focus.
#pragma once

#include <QWidget>

// Qt hands the focus of a control that becomes disabled to the next control
// in the tab order; when that is a command button its focus entry would
// pause the poll again right after the command that disabled it. The
// disabled control gives the focus up instead, to no other control.
inline void disableControl(QWidget *control)
{
    if (control->hasFocus())
        control->clearFocus();
    control->setEnabled(false);
}
