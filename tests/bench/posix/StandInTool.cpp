#include "StandInTool.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

QString seconds(int ms)
{
    return QString::number(ms / 1000.0, 'f', 3);
}

// xmessage with the tool's title for ms, then gone.
QString windowFor(int ms)
{
    return QStringLiteral("xmessage -title Ombrino busy >/dev/null 2>&1 & window=$!; sleep %1; kill $window")
        .arg(seconds(ms));
}

} // namespace

bool writeStandInTool(const QString &directory, const QString &name, const std::vector<ToolStep> &steps)
{
    QStringList lines{QStringLiteral("#!/bin/sh")};
    for (size_t n = 0; n < steps.size(); ++n) {
        const ToolStep &step = steps[n];
        const bool last = n + 1 == steps.size();
        switch (step.kind) {
        case ToolStep::RecordArguments: lines << QStringLiteral("echo \"$#:$1\" > args.txt"); break;
        // The last wait is the script's own process: ending the tool ends it.
        case ToolStep::Wait: lines << (last ? QStringLiteral("exec sleep ") : QStringLiteral("sleep ")) + seconds(step.ms); break;
        case ToolStep::MarkDone: lines << QStringLiteral("echo done > done.txt"); break;
        case ToolStep::ShowWindow: lines << windowFor(step.ms); break;
        case ToolStep::LeaveWindow: lines << QStringLiteral("(%1) >/dev/null 2>&1 &").arg(windowFor(step.ms)); break;
        case ToolStep::TryPort: return false; // no port names of that kind here
        }
    }
    QFile script(QDir(directory).filePath(name));
    if (!script.open(QIODevice::WriteOnly))
        return false;
    script.write((lines.join(u'\n') + u'\n').toUtf8());
    script.close();
    return script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList systemProgramFolders()
{
    return {QStringLiteral("/usr/bin"), QStringLiteral("/bin")};
}

bool standInToolCanShowWindows()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY")
           && !QStandardPaths::findExecutable(QStringLiteral("xmessage")).isEmpty()
           && !QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty();
}
