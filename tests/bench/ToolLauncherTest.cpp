// Starting the normalisation tool as a shell would, and waiting for it.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include "ToolLauncher.h"
#include "ToolProcess.h"
#include "ToolScript.h"

namespace {

TEST(ToolLauncherTest, CurrentDirectoryComesBeforeThePath)
{
    QTemporaryDir current;
    QTemporaryDir onPath;
    ASSERT_TRUE(writeToolScript(onPath.path(), QStringLiteral("Ombrino.exe"), QStringLiteral("exit 0")));
    {
        ToolEnvironment environment(current.path(), onPath.path());
        EXPECT_EQ(ToolLauncher::resolve(QStringLiteral("Ombrino.exe")),
                  QFileInfo(QDir(onPath.path()).filePath(QStringLiteral("Ombrino.exe"))).absoluteFilePath());
        ASSERT_TRUE(writeToolScript(current.path(), QStringLiteral("Ombrino.exe"), QStringLiteral("exit 0")));
        EXPECT_EQ(ToolLauncher::resolve(QStringLiteral("Ombrino.exe")),
                  QFileInfo(QDir(current.path()).filePath(QStringLiteral("Ombrino.exe"))).absoluteFilePath());
    }
}

TEST(ToolLauncherTest, AMissingOrUnrunnableToolDoesNotStart)
{
    QTemporaryDir current;
    ToolEnvironment environment(current.path());
    ToolLauncher launcher;
    EXPECT_FALSE(launcher.start(QStringLiteral("Ombrino.exe"), QStringLiteral("COM1")));

    QFile plain(QDir(current.path()).filePath(QStringLiteral("Ombrino.exe")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("not a program\n");
    plain.close();
    EXPECT_FALSE(launcher.start(QStringLiteral("Ombrino.exe"), QStringLiteral("COM1")));
}

TEST(ToolLauncherTest, PassesTheParameterAndWaitsUntilTheToolHasEnded)
{
    QTemporaryDir current;
    ToolEnvironment environment(current.path());
    ASSERT_TRUE(writeToolScript(current.path(), QStringLiteral("Ombrino.exe"),
                                QStringLiteral("echo \"$#:$1\" > args.txt\nsleep 1\necho done > done.txt")));
    ToolLauncher launcher;
    QElapsedTimer elapsed;
    elapsed.start();
    ASSERT_TRUE(launcher.start(QStringLiteral("Ombrino.exe"), QStringLiteral("COM3")));
    launcher.waitWhileRunning(QStringLiteral("Ombrino"));
    EXPECT_GE(elapsed.elapsed(), 900);
    EXPECT_EQ(readTextFile(QDir(current.path()).filePath(QStringLiteral("done.txt"))), QStringLiteral("done\n"));
    EXPECT_EQ(readTextFile(QDir(current.path()).filePath(QStringLiteral("args.txt"))), QStringLiteral("1:COM3\n"));
}

TEST(ToolLauncherTest, AnEmptyParameterPassesNoArgument)
{
    QTemporaryDir current;
    ToolEnvironment environment(current.path());
    ASSERT_TRUE(writeToolScript(current.path(), QStringLiteral("Ombrino.exe"),
                                QStringLiteral("echo \"$#:$1\" > args.txt")));
    ToolLauncher launcher;
    ASSERT_TRUE(launcher.start(QStringLiteral("Ombrino.exe"), QString()));
    launcher.waitWhileRunning(QStringLiteral("Ombrino"));
    EXPECT_EQ(readTextFile(QDir(current.path()).filePath(QStringLiteral("args.txt"))), QStringLiteral("0:\n"));
}

TEST(ToolLauncherTest, WithoutADisplayNoWindowIsFound)
{
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    EXPECT_FALSE(topLevelWindowExists(QStringLiteral("Ombrino")));
    if (!display.isEmpty())
        qputenv("DISPLAY", display);
}

// Runs only in an X11 session with xmessage (x11-utils), for example
// under xvfb-run.
TEST(ToolLauncherTest, TopLevelWindowsAreFoundByTitleWithoutRegardToCase)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") || QStandardPaths::findExecutable(QStringLiteral("xmessage")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty())
        GTEST_SKIP() << "needs an X11 display, xmessage and xwininfo";
    EXPECT_FALSE(topLevelWindowExists(QStringLiteral("Ombrino")));
    QProcess window;
    window.start(QStringLiteral("xmessage"), {QStringLiteral("-title"), QStringLiteral("OMBRINO"),
                                              QStringLiteral("normalising")});
    ASSERT_TRUE(window.waitForStarted());
    bool found = false;
    for (int attempt = 0; attempt < 100 && !found; ++attempt) {
        found = topLevelWindowExists(QStringLiteral("Ombrino"));
        if (!found)
            QThread::msleep(50);
    }
    EXPECT_TRUE(found);
    EXPECT_FALSE(topLevelWindowExists(QStringLiteral("Ombrin")));
    window.kill();
    window.waitForFinished();
    bool gone = false;
    for (int attempt = 0; attempt < 100 && !gone; ++attempt) {
        gone = !topLevelWindowExists(QStringLiteral("Ombrino"));
        if (!gone)
            QThread::msleep(50);
    }
    EXPECT_TRUE(gone);
}

TEST(ToolLauncherTest, WaitsForTheToolWindowAfterItsProcessHasEnded)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") || QStandardPaths::findExecutable(QStringLiteral("xmessage")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty())
        GTEST_SKIP() << "needs an X11 display, xmessage and xwininfo";
    QTemporaryDir current;
    ToolEnvironment environment(current.path());
    // The tool's process ends at once; its window stays for two seconds.
    ASSERT_TRUE(writeToolScript(current.path(), QStringLiteral("Ombrino.exe"),
                                QStringLiteral("xmessage -title ombrino busy >/dev/null 2>&1 &\n"
                                               "window=$!\n"
                                               "(sleep 2; kill $window) >/dev/null 2>&1 &\n"
                                               "exit 0")));
    ToolLauncher launcher;
    ASSERT_TRUE(launcher.start(QStringLiteral("Ombrino.exe"), QStringLiteral("COM1")));
    QThread::msleep(1000); // as the window does before it looks for the tool
    QElapsedTimer elapsed;
    elapsed.start();
    launcher.waitWhileRunning(QStringLiteral("Ombrino"));
    EXPECT_GE(elapsed.elapsed(), 500);
    EXPECT_FALSE(topLevelWindowExists(QStringLiteral("Ombrino")));
}

// Where windows can be seen, a tool that goes on running once its window
// has gone is waited for no longer than the linger limit, and left running.
TEST(ToolLauncherTest, AToolThatLingersWithoutItsWindowIsNoLongerWaitedFor)
{
    QTemporaryDir current;
    ToolEnvironment environment(current.path());
    ASSERT_TRUE(writeToolScript(current.path(), QStringLiteral("Ombrino.exe"), QStringLiteral("exec sleep 60")));
    ToolLauncher launcher;
    int checks = 0;
    // The window is there at the first three checks, then it is gone.
    launcher.setWindowFinder([&checks](const QString &title) {
        EXPECT_EQ(title, QStringLiteral("Ombrino"));
        return ++checks <= 3;
    });
    launcher.setLingerLimitMs(300);
    ASSERT_TRUE(launcher.start(QStringLiteral("Ombrino.exe"), QStringLiteral("COM1")));
    launcher.waitWhileRunning(QStringLiteral("Ombrino"));
    EXPECT_GT(checks, 3) << "the wait went on while the window was there";
    EXPECT_TRUE(launcher.isRunning()) << "the tool is left running";
}

} // namespace
