// Makes a control show a state without letting the user change it: mouse
// and keyboard input to it is swallowed, and it never takes the focus. The
// program still sets it; it keeps its normal (not greyed) look.
#pragma once

class QWidget;

void makeDisplayOnly(QWidget *control);
