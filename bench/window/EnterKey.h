// Enter and Return press the focused push button of the window as the space
// bar does: the button goes down on the key press and clicks on its
// release. The buttons keep their look (none becomes a default button).
#pragma once

class QWidget;

// Gives every push button under window this behaviour.
void letEnterPressButtons(QWidget *window);
