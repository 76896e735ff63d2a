#include "ToolProcess.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

namespace {

bool hasX11Display()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY");
}

// A program run as the shell runs it: its output and input are the
// bench's own.
class PosixToolProcess : public ToolProcess
{
public:
    bool start(const QString &path, const QString &parameter)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.setInputChannelMode(QProcess::ForwardedInputChannel);
        QStringList arguments;
        if (!parameter.isEmpty())
            arguments << parameter;
        m_process.start(path, arguments);
        return m_process.waitForStarted(5000);
    }

    bool isRunning() const override { return m_process.state() != QProcess::NotRunning; }

    bool waitForEnd(int milliseconds) override
    {
        if (!isRunning())
            return true;
        return m_process.waitForFinished(milliseconds);
    }

private:
    // Ends the tool, if it still runs, when the bench lets go of it.
    QProcess m_process;
};

} // namespace

std::unique_ptr<ToolProcess> ToolProcess::start(const QString &path, const QString &parameter)
{
    auto process = std::make_unique<PosixToolProcess>();
    if (!process->start(path, parameter))
        return nullptr;
    return process;
}

bool canSeeTopLevelWindows()
{
    return hasX11Display() && !QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty();
}

bool topLevelWindowExists(const QString &title)
{
    if (!hasX11Display())
        return false;
    QProcess lister;
    lister.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    if (!lister.waitForFinished(3000) || lister.exitStatus() != QProcess::NormalExit)
        return false;
    // Lines look like:   0x1a00003 "Title": ("name" "Class")  200x100+0+0  +0+0
    static const QRegularExpression windowLine(QStringLiteral("^\\s*0x[0-9a-fA-F]+ \"(.*)\": \\("));
    const QStringList lines = QString::fromLocal8Bit(lister.readAllStandardOutput()).split(u'\n');
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = windowLine.match(line);
        if (match.hasMatch() && match.captured(1).compare(title, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
