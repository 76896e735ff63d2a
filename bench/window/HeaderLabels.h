// Which commands the window checks after they ran, and the header label
// (the blue header number beside a command's button) that shows each one's
// outcome.
#pragma once

#include <QHash>

#include "ChannelRows.h"

class QLabel;
class QObject;
class QWidget;

// A checked command's button, and its label (null for the command console,
// which has none: its failure only lets the line settle).
using HeaderLabels = QHash<const QObject *, QLabel *>;

HeaderLabels findHeaderLabels(const QWidget *window, const ChannelPanels &panels);
