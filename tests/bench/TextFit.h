// Measures what the window shows with the fonts it was given: captions and
// texts that are wider (or taller) than their control, and displays that
// run into a neighbouring control.
#pragma once

#include <QStringList>

class QWidget;

// One line per cut text, naming the control, its text and the sizes.
QStringList cutTexts(const QWidget *root);

// One line per visible display (a label that sizes itself to its text)
// that overlaps another visible control beside it.
QStringList overlappingDisplays(const QWidget *root);
