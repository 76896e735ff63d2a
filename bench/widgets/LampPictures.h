// The 15 x 15 lamp pictures of the window, drawn in code: a dark lamp when
// off, a bright lamp with a white highlight when on.
#pragma once

#include <QPixmap>

enum class LampColour { Green, Red };

inline constexpr int kLampSize = 15;

// variant shifts the shading of an "on" lamp a little, so that the lamps of
// one column look alike without being identical; "off" lamps ignore it.
QPixmap lampPicture(LampColour colour, bool on, int variant = 0);
