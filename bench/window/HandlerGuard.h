// The one way into a handler: any error raised in it ends the handler at
// once (its resume step included) and shows the application's error box.
// Errors never cross Qt's event loop.
#pragma once

#include <QString>

#include <functional>

class BenchPlatform;
class QWidget;

// The error box text: the error's text, with "." appended when its last
// character sorts after the full stop.
QString errorBoxText(const QString &what);

// Runs handler; on an exception shows the error box through platform.
void runGuarded(BenchPlatform &platform, QWidget *owner, const std::function<void()> &handler);
// The same, showing the error box's text with showErrorBox.
void runGuarded(const std::function<void(const QString &)> &showErrorBox,
                const std::function<void()> &handler);
