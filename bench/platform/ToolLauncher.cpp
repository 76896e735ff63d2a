#include "ToolLauncher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace {

// How often the tool's process and window are looked at while waiting.
constexpr int kCheckIntervalMs = 200;

bool hasX11Display()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY");
}

bool canSeeX11Windows()
{
    return hasX11Display() && !QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty();
}

} // namespace

ToolLauncher::ToolLauncher() = default;

ToolLauncher::~ToolLauncher() = default;

QString ToolLauncher::resolve(const QString &programFile)
{
    const QFileInfo local(QDir::current().filePath(programFile));
    if (local.isFile() && local.isExecutable())
        return local.absoluteFilePath();
    return QStandardPaths::findExecutable(programFile);
}

bool ToolLauncher::start(const QString &programFile, const QString &parameter)
{
    const QString path = resolve(programFile);
    if (path.isEmpty())
        return false;
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    m_process->setInputChannelMode(QProcess::ForwardedInputChannel);
    QStringList arguments;
    if (!parameter.isEmpty())
        arguments << parameter;
    m_process->start(path, arguments);
    if (!m_process->waitForStarted(5000)) {
        m_process.reset();
        return false;
    }
    return true;
}

void ToolLauncher::waitWhileRunning(const QString &windowTitle)
{
    WindowFinder windowExists = m_windowFinder;
    if (!windowExists && canSeeX11Windows())
        windowExists = x11WindowExists;
    // Time since the tool's window was last seen (or since the wait began).
    QElapsedTimer sinceWindow;
    sinceWindow.start();
    for (;;) {
        bool running = false;
        if (m_process && m_process->state() != QProcess::NotRunning)
            running = !m_process->waitForFinished(kCheckIntervalMs);
        const bool window = windowExists && windowExists(windowTitle);
        if (window)
            sinceWindow.restart();
        if (!running && !window)
            return;
        // A tool that lingers without its window does not hold the bench.
        if (running && !window && windowExists && sinceWindow.elapsed() >= m_lingerLimitMs)
            return;
        if (!running)
            QThread::msleep(kCheckIntervalMs);
    }
}

bool ToolLauncher::isRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

void ToolLauncher::setWindowFinder(WindowFinder finder)
{
    m_windowFinder = std::move(finder);
}

void ToolLauncher::setLingerLimitMs(int milliseconds)
{
    m_lingerLimitMs = milliseconds;
}

bool x11WindowExists(const QString &title)
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
