// A display too long for its room keeps its whole text (what copying,
// accessibility tools and tests read) and is only painted cut, with "…".
#pragma once

#include <QString>

class QLabel;

// Paints the display cut from now on (true) or as Qt paints it (false).
void setPaintedCut(QLabel *display, bool cut);

// The text as the display paints it.
QString shownText(const QLabel *display);
