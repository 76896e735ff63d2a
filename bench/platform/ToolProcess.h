// The normalisation tool as the platform runs it: a process started as the
// shell starts programs, and the platform's view of top-level windows. One
// implementation per operating system; ToolLauncher waits on top of it.
#pragma once

#include <QString>

#include <memory>

class ToolProcess
{
public:
    virtual ~ToolProcess() = default;

    // Starts the program file at path (an absolute path) with parameter as
    // its one argument, or none when parameter is empty, in a normal window
    // where the program has one. nullptr when it does not start.
    static std::unique_ptr<ToolProcess> start(const QString &path, const QString &parameter);

    // Whether the process still runs.
    virtual bool isRunning() const = 0;
    // Waits up to milliseconds for the process to end; true when it has
    // ended (at once when it had already).
    virtual bool waitForEnd(int milliseconds) = 0;
};

// Whether this session can tell which top-level windows exist: always on
// Windows; where there is an X11 display and the xwininfo program on POSIX.
bool canSeeTopLevelWindows();

// Whether a top-level window titled title (compared without regard to
// case) exists. False where windows cannot be seen.
bool topLevelWindowExists(const QString &title);
