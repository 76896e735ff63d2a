#include "ToolLauncher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>

#include "ToolProcess.h"
#include "Waits.h"

namespace {

// How often the tool's process and window are looked at while waiting.
constexpr int kCheckIntervalMs = 200;

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
    m_process.reset();
    const QString path = resolve(programFile);
    if (path.isEmpty())
        return false;
    m_process = ToolProcess::start(QDir::toNativeSeparators(path), parameter);
    return m_process != nullptr;
}

void ToolLauncher::waitWhileRunning(const QString &windowTitle)
{
    WindowFinder windowExists = m_windowFinder;
    if (!windowExists && canSeeTopLevelWindows())
        windowExists = topLevelWindowExists;
    // Time since the tool's window was last seen (or since the wait began).
    QElapsedTimer sinceWindow;
    sinceWindow.start();
    for (;;) {
        const bool running = m_process && !m_process->waitForEnd(kCheckIntervalMs);
        const bool window = windowExists && windowExists(windowTitle);
        if (window)
            sinceWindow.restart();
        if (!running && !window)
            return;
        // A tool that lingers without its window does not hold the bench.
        if (running && !window && windowExists && sinceWindow.elapsed() >= m_lingerLimitMs)
            return;
        if (!running)
            sleepMilliseconds(kCheckIntervalMs);
    }
}

bool ToolLauncher::isRunning() const
{
    return m_process && m_process->isRunning();
}

void ToolLauncher::setWindowFinder(WindowFinder finder)
{
    m_windowFinder = std::move(finder);
}

void ToolLauncher::setLingerLimitMs(int milliseconds)
{
    m_lingerLimitMs = milliseconds;
}
