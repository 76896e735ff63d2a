// Starting the normalisation tool as a shell would, and waiting for it.
#include <QElapsedTimer>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "ToolLauncher.h"
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
    EXPECT_FALSE(x11WindowExists(QStringLiteral("Ombrino")));
    if (!display.isEmpty())
        qputenv("DISPLAY", display);
}

} // namespace
