// Fonts, colours and pictures of the window. The layout marks controls with
// the dynamic properties "look" (font and text colour), "background" (group
// colours), "lamp" (lamp pictures), "autoSize" (a display that sizes itself
// to its text) and "follows" (a display that moves with the one it names);
// this applies them.
#pragma once

#include <QFont>

class QWidget;

// The window font, 11 pixels: Liberation Sans, the installed sans-serif
// font with the metrics the layout is drawn for (DejaVu Sans without it).
QFont windowFont();
// The fixed-pitch fonts "Courier" and "Courier New": Liberation Mono
// (DejaVu Sans Mono without it).
QFont courierFont(int pixelSize);
QFont courierNewFont(int pixelSize);

// Applies the marks to the window and every control under it, makes every
// label plain text and gives each display that sizes itself to its text the
// right edge it may grow to (see setDisplayText).
void applyWindowLook(QWidget *window);
