// Starting the normalisation tool as a shell would, and waiting for it.
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "StandInTool.h"
#include "ToolLauncher.h"

namespace {

TEST(ToolLauncherTest, CurrentDirectoryComesBeforeThePath)
{
    QTemporaryDir current;
    QTemporaryDir onPath;
    ASSERT_TRUE(writeStandInTool(onPath.path(), QStringLiteral("Ombrino.exe"), {}));
    {
        ToolEnvironment environment(current.path(), onPath.path());
        EXPECT_EQ(ToolLauncher::resolve(QStringLiteral("Ombrino.exe")),
                  QFileInfo(QDir(onPath.path()).filePath(QStringLiteral("Ombrino.exe"))).absoluteFilePath());
        ASSERT_TRUE(writeStandInTool(current.path(), QStringLiteral("Ombrino.exe"), {}));
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

    ASSERT_TRUE(writeNotAProgram(current.path(), QStringLiteral("Ombrino.exe")));
    EXPECT_FALSE(launcher.start(QStringLiteral("Ombrino.exe"), QStringLiteral("COM1")));
}

TEST(ToolLauncherTest, PassesTheParameterAndWaitsUntilTheToolHasEnded)
{
    QTemporaryDir current;
    ToolEnvironment environment(current.path());
    ASSERT_TRUE(writeStandInTool(current.path(), QStringLiteral("Ombrino.exe"),
                                 {{ToolStep::RecordArguments}, {ToolStep::Wait, 1000}, {ToolStep::MarkDone}}));
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
    ASSERT_TRUE(writeStandInTool(current.path(), QStringLiteral("Ombrino.exe"), {{ToolStep::RecordArguments}}));
    ToolLauncher launcher;
    ASSERT_TRUE(launcher.start(QStringLiteral("Ombrino.exe"), QString()));
    launcher.waitWhileRunning(QStringLiteral("Ombrino"));
    EXPECT_EQ(readTextFile(QDir(current.path()).filePath(QStringLiteral("args.txt"))), QStringLiteral("0:\n"));
}

// Where windows can be seen, a tool that goes on running once its window
// has gone is waited for no longer than the linger limit, and left running.
TEST(ToolLauncherTest, AToolThatLingersWithoutItsWindowIsNoLongerWaitedFor)
{
    QTemporaryDir current;
    ToolEnvironment environment(current.path());
    ASSERT_TRUE(writeStandInTool(current.path(), QStringLiteral("Ombrino.exe"), {{ToolStep::Wait, 20000}}));
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
