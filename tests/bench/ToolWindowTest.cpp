// The normalisation tool's window as the platform sees it: found by its
// title, waited for while it is up, given up on once it has gone while its
// process lingers. Needs a session where the stand-in tool can show a window
// (Windows; on Linux an X11 display with xmessage and xwininfo, for example
// under xvfb-run).
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "StandInTool.h"
#include "ToolLauncher.h"
#include "ToolProcess.h"

namespace {

// Polls for up to five seconds until the window is there (or gone).
bool windowBecomes(bool shown)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (topLevelWindowExists(QStringLiteral("Ombrino")) == shown)
            return true;
        QThread::msleep(50);
    }
    return false;
}

class ToolWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!standInToolCanShowWindows())
            GTEST_SKIP() << "the stand-in tool cannot show a window in this session";
        ASSERT_TRUE(windowBecomes(false)) << "a window of an earlier test is still up";
    }

    bool startTool(const std::vector<ToolStep> &steps)
    {
        m_environment = std::make_unique<ToolEnvironment>(m_folder.path());
        return writeStandInTool(m_folder.path(), QStringLiteral("Ombrino.exe"), steps)
               && m_launcher.start(QStringLiteral("Ombrino.exe"), QStringLiteral("COM1"));
    }

    QTemporaryDir m_folder;
    std::unique_ptr<ToolEnvironment> m_environment;
    ToolLauncher m_launcher;
};

TEST_F(ToolWindowTest, TheWindowIsFoundByTitleWithoutRegardToCase)
{
    ASSERT_TRUE(startTool({{ToolStep::ShowWindow, 2000}}));
    bool found = false;
    for (int attempt = 0; attempt < 100 && !found; ++attempt) {
        found = topLevelWindowExists(QStringLiteral("OMBRINO"));
        if (!found)
            QThread::msleep(50);
    }
    EXPECT_TRUE(found);
    EXPECT_TRUE(topLevelWindowExists(QStringLiteral("ombrino")));
    EXPECT_FALSE(topLevelWindowExists(QStringLiteral("Ombrin")));
    m_launcher.waitWhileRunning(QStringLiteral("Ombrino"));
    EXPECT_FALSE(topLevelWindowExists(QStringLiteral("Ombrino")));
}

TEST_F(ToolWindowTest, TheWaitLastsWhileTheWindowOutlivesTheToolsProcess)
{
    // The tool's process ends at once; its window stays for two seconds.
    ASSERT_TRUE(startTool({{ToolStep::LeaveWindow, 2000}}));
    ASSERT_TRUE(windowBecomes(true));
    QElapsedTimer elapsed;
    elapsed.start();
    m_launcher.waitWhileRunning(QStringLiteral("Ombrino"));
    EXPECT_GE(elapsed.elapsed(), 500);
    EXPECT_FALSE(topLevelWindowExists(QStringLiteral("Ombrino")));
}

TEST_F(ToolWindowTest, AToolThatLingersOnceItsWindowHasClosedIsLeftRunning)
{
    ASSERT_TRUE(startTool({{ToolStep::ShowWindow, 1000}, {ToolStep::Wait, 20000}}));
    ASSERT_TRUE(windowBecomes(true));
    m_launcher.setLingerLimitMs(500);
    QElapsedTimer elapsed;
    elapsed.start();
    m_launcher.waitWhileRunning(QStringLiteral("Ombrino"));
    EXPECT_GE(elapsed.elapsed(), 400) << "the wait went on while the window was up";
    EXPECT_LT(elapsed.elapsed(), 15000) << "the wait gave up on the lingering tool";
    EXPECT_FALSE(topLevelWindowExists(QStringLiteral("Ombrino")));
    EXPECT_TRUE(m_launcher.isRunning());
}

} // namespace
