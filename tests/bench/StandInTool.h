// Stand-in normalisation tools for the tests: a program file named as the
// real tool, written into a folder, that does what the test asks of it, step
// by step. On Linux it is a shell script; on Windows a copy of the small
// Win32 program standin_tool.exe (win32/StandInTool.cpp) that reads its steps
// from a file beside it.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

struct ToolStep
{
    enum Kind {
        // Writes "<count of arguments>:<first argument>\n" to args.txt in the
        // current folder.
        RecordArguments,
        // Waits ms.
        Wait,
        // Writes "done\n" to done.txt in the current folder.
        MarkDone,
        // Shows a top-level window titled "Ombrino" for ms, then closes it
        // (Windows; on Linux with xmessage on an X11 display).
        ShowWindow,
        // Shows that window for ms from a process of its own, and goes on at
        // once: the window outlives the tool's process.
        LeaveWindow,
        // Windows: opens the port its argument names (\\.\COMn) as Pontel
        // does, writes "free\n" when it could and "held\n" when not to
        // port.txt in the current folder, and closes it again.
        TryPort,
    };
    Kind kind;
    int ms = 0;
};

// Writes the tool as directory/name. False when it could not be written.
bool writeStandInTool(const QString &directory, const QString &name, const std::vector<ToolStep> &steps);

// Whether the stand-in can show its window in this session: on Windows
// always, on Linux with an X11 display, xmessage and xwininfo.
bool standInToolCanShowWindows();

// A file that is not a program, named as one: the shell cannot start it.
bool writeNotAProgram(const QString &directory, const QString &name);

QString readTextFile(const QString &path);

// The system's own program folders, which the shell needs on the path.
QStringList systemProgramFolders();

// Makes directory the current directory and the program search path hold
// only extraPath (and the system's own folders) for its lifetime.
class ToolEnvironment
{
public:
    explicit ToolEnvironment(const QString &directory, const QString &extraPath = {});
    ~ToolEnvironment();
    ToolEnvironment(const ToolEnvironment &) = delete;
    ToolEnvironment &operator=(const ToolEnvironment &) = delete;

private:
    QString m_oldDirectory;
    QByteArray m_oldPath;
};
