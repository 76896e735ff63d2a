// Fonts, colours and pictures of the window. The layout marks controls with
// the dynamic properties "look" (font and text colour), "background" (group
// colours) and "lamp" (lamp pictures); this applies them.
#pragma once

#include <QFont>

class QWidget;

// The window font: "MS Sans Serif" 11 pixels, with fallbacks where that
// family is missing.
QFont windowFont();
// Fixed-pitch fonts: "Courier" and "Courier New" with fallbacks.
QFont courierFont(int pixelSize);
QFont courierNewFont(int pixelSize);

// Applies the marks to the window and every control under it.
void applyWindowLook(QWidget *window);
