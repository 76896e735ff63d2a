// Starts the external normalisation tool and waits until it is done.
#pragma once

#include <QString>

#include <memory>

class QProcess;

class ToolLauncher
{
public:
    ToolLauncher();
    ~ToolLauncher();

    // Looks the program file up as a shell would (the current directory
    // first, then each directory of PATH) and starts it with parameter as its
    // one argument, or none when parameter is empty. False when the file is
    // not found or the process does not start.
    bool start(const QString &programFile, const QString &parameter);

    // Blocks until the process has ended and, when the session has an X11
    // display, no top-level window titled windowTitle (case-insensitive) is
    // left. Sleeps between checks: no busy waiting.
    void waitWhileRunning(const QString &windowTitle);

    // Where start() would find the program file; empty when nowhere.
    static QString resolve(const QString &programFile);

private:
    std::unique_ptr<QProcess> m_process;
};

// Whether a window titled title (case-insensitive) exists on the session's
// X11 display. False without a display or without the xwininfo program.
bool x11WindowExists(const QString &title);
