// Starts the external normalisation tool and waits until it is done.
#pragma once

#include <QString>

#include <functional>
#include <memory>

class ToolProcess;

class ToolLauncher
{
public:
    // Whether a top-level window with this title is open.
    using WindowFinder = std::function<bool(const QString &title)>;

    // How long the tool's process may go on once its window has gone
    // before the wait gives up on it.
    static constexpr int kDefaultLingerLimitMs = 10000;

    ToolLauncher();
    ~ToolLauncher();

    // Looks the program file up as a shell would (the current directory
    // first, then each directory of PATH) and starts it through the
    // platform (ToolProcess) with parameter as its one argument, or none
    // when parameter is empty. False when the file is not found or the
    // process does not start.
    bool start(const QString &programFile, const QString &parameter);

    // Blocks while the process runs or a top-level window titled windowTitle
    // (case-insensitive) is open. Where windows can be seen (always on
    // Windows, an X11 display with xwininfo on POSIX, or a finder set
    // below), a process whose window has been gone for the linger limit is
    // no longer waited for: it is left running. Where they cannot, the
    // process alone is waited for, to its end. Sleeps between checks: no
    // busy waiting.
    void waitWhileRunning(const QString &windowTitle);

    // Whether the process started last is still running.
    bool isRunning() const;

    // For tests: how windows are looked for, and the linger limit.
    void setWindowFinder(WindowFinder finder);
    void setLingerLimitMs(int milliseconds);

    // Where start() would find the program file; empty when nowhere.
    static QString resolve(const QString &programFile);

private:
    std::unique_ptr<ToolProcess> m_process;
    WindowFinder m_windowFinder;
    int m_lingerLimitMs = kDefaultLingerLimitMs;
};
