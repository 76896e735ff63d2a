// Dropping the clicks and keys that queued up while a handler held the
// window without handling events.
#pragma once

// Delivers every event waiting in the queue except user input (mouse,
// keys, wheel, touch, tablet, context menu), which is thrown away: a click
// made on a frozen window is not run once the window thaws.
void dropQueuedUserInput();
