// Stand-in normalisation tools for the tests: small shell scripts written
// into a temporary directory.
#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Writes an executable script named name into directory with body as its
// shell commands.
inline bool writeToolScript(const QString &directory, const QString &name, const QString &body)
{
    QFile script(QDir(directory).filePath(name));
    if (!script.open(QIODevice::WriteOnly))
        return false;
    script.write("#!/bin/sh\n");
    script.write(body.toUtf8());
    script.write("\n");
    script.close();
    return script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

inline QString readTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing>");
    return QString::fromUtf8(file.readAll());
}

// Makes directory the current directory and PATH hold only extraPath (and
// the system's own directories for the shell) for its lifetime.
class ToolEnvironment
{
public:
    explicit ToolEnvironment(const QString &directory, const QString &extraPath = {})
        : m_oldDirectory(QDir::currentPath()), m_oldPath(qgetenv("PATH"))
    {
        QDir::setCurrent(directory);
        QByteArray path = "/usr/bin:/bin";
        if (!extraPath.isEmpty())
            path = extraPath.toLocal8Bit() + ":" + path;
        qputenv("PATH", path);
    }
    ~ToolEnvironment()
    {
        QDir::setCurrent(m_oldDirectory);
        qputenv("PATH", m_oldPath);
    }
    ToolEnvironment(const ToolEnvironment &) = delete;
    ToolEnvironment &operator=(const ToolEnvironment &) = delete;

private:
    QString m_oldDirectory;
    QByteArray m_oldPath;
};
