#include "StandInTool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

// The steps go to "<name without .exe>.steps" beside the copy, one a line,
// which standin_tool.exe reads at its start.
bool writeStandInTool(const QString &directory, const QString &name, const std::vector<ToolStep> &steps)
{
    const QDir folder(directory);
    const QString program = folder.filePath(name);
    QFile::remove(program);
    if (!QFile::copy(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("standin_tool.exe")),
                     program))
        return false;
    QFile file(folder.filePath(QFileInfo(name).completeBaseName() + QStringLiteral(".steps")));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const ToolStep &step : steps) {
        static const char *const kWords[] = {"args", "wait", "done", "window", "leave-window", "port"};
        file.write(QByteArray(kWords[step.kind]) + ' ' + QByteArray::number(step.ms) + '\n');
    }
    return true;
}

QStringList systemProgramFolders()
{
    return {QStringLiteral("C:\\windows\\system32"), QStringLiteral("C:\\windows")};
}

bool standInToolCanShowWindows()
{
    return true;
}
