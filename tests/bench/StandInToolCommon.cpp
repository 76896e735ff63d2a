#include "StandInTool.h"

#include <QDir>
#include <QFile>

bool writeNotAProgram(const QString &directory, const QString &name)
{
    QFile plain(QDir(directory).filePath(name));
    if (!plain.open(QIODevice::WriteOnly))
        return false;
    plain.write("not a program\n");
    return true;
}

QString readTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing>");
    return QString::fromUtf8(file.readAll());
}

ToolEnvironment::ToolEnvironment(const QString &directory, const QString &extraPath)
    : m_oldDirectory(QDir::currentPath()), m_oldPath(qgetenv("PATH"))
{
    QDir::setCurrent(directory);
    QStringList path = systemProgramFolders();
    if (!extraPath.isEmpty())
        path.prepend(QDir::toNativeSeparators(extraPath));
    qputenv("PATH", path.join(QDir::listSeparator()).toLocal8Bit());
}

ToolEnvironment::~ToolEnvironment()
{
    QDir::setCurrent(m_oldDirectory);
    qputenv("PATH", m_oldPath);
}
