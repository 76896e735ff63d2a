// How the window writes numbers, device texts and results into its displays.
#pragma once

#include <QColor>
#include <QString>

#include <cstdint>

#include "CCTalkComDeclar.h"

class QLabel;
class QWidget;

// A successful reply is shown in green, a failed one ("Bad") in red.
inline const QColor kSuccessGreen(0, 128, 0);
inline const QColor kFailureRed(255, 0, 0);

// "%u": unsigned decimal.
QString formatU(uint32_t value);
// "%2u", "%3u", "%5u": unsigned decimal right-aligned in at least 2, 3 or 5
// characters, padded with blanks.
QString format2u(uint32_t value);
QString format3u(uint32_t value);
QString format5u(uint32_t value);
// "%3.3u": unsigned decimal with at least three digits, zero-padded.
QString format3_3u(uint32_t value);

// The characters of a counted string; the device's bytes are read as
// ISO 8859-1, the single-byte code page of the bench.
QString countedText(const CountedString &text);

// The dynamic property holding the right edge (in its parent) up to which a
// display that sizes itself to its text may grow.
inline constexpr char kRightLimitProperty[] = "rightLimit";

// Sets a display's text and, for the displays that size themselves to their
// text (the "autoSize" property of the layout), its size. Such a display
// grows no further than its right limit: a longer text is painted cut with
// "…" (PaintedCut.h), and shown whole in the display's tooltip; the
// display's text stays whole.
void setDisplayText(QLabel *display, const QString &text);

// A tooltip that shows text as typed (tooltips would read markup).
QString plainToolTip(const QString &text);

// Sets the colour of a widget's text.
void setTextColour(QWidget *widget, const QColor &colour);
QColor textColour(const QWidget *widget);
