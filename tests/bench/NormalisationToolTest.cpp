// "&Norma.": the real platform layer starts a stand-in tool from the current
// directory; the window closes the port, waits, and connects again.
#include <QDir>
#include <QTemporaryDir>

#include "StandInTool.h"
#include "WindowFixture.h"

namespace {

using ::testing::ElementsAre;

class NormalisationToolTest : public WindowTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_directory.isValid());
        // Without a display only the tool's process is waited for.
        m_display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
    }
    void TearDown() override
    {
        if (!m_display.isEmpty())
            qputenv("DISPLAY", m_display);
    }

    QString file(const QString &name) const { return QDir(m_directory.path()).filePath(name); }

    QTemporaryDir m_directory;
    QByteArray m_display;
};

TEST_F(NormalisationToolTest, StartsTheToolWithThePortNameThenReconnects)
{
    ASSERT_TRUE(writeStandInTool(m_directory.path(), QStringLiteral("Ombrino.exe"),
                                 {{ToolStep::RecordArguments}, {ToolStep::Wait, 1000}, {ToolStep::MarkDone}}));
    ToolEnvironment environment(m_directory.path());
    openConnected();
    const PortHandle handle = m_form->portHandle();
    timer().setOn(true);
    m_sim.device().config().serialNumber = 777;

    click(QStringLiteral("BitBtn26"));

    EXPECT_EQ(readTextFile(file(QStringLiteral("args.txt"))), QStringLiteral("1:COM1\n"));
    EXPECT_EQ(readTextFile(file(QStringLiteral("done.txt"))), QStringLiteral("done\n"))
        << "the window waited for the tool to end";
    EXPECT_THAT(m_port.closings, ElementsAre(handle));
    EXPECT_THAT(m_platform.sleeps, ElementsAre(1000));
    // The connection step again: port 1 opened, serial number read, timer off.
    ASSERT_EQ(m_port.openings.size(), 2u);
    EXPECT_EQ(m_port.openings[1].port, 1);
    EXPECT_THAT(hostBytes(), ::testing::ElementsAreArray(requestFrame(0, 242)));
    EXPECT_EQ(text(QStringLiteral("StaticText1")), QStringLiteral("777"));
    EXPECT_FALSE(timer().isOn());
    EXPECT_TRUE(m_platform.messages.isEmpty());
}

TEST_F(NormalisationToolTest, BeforeAnyConnectionTheParameterIsEmpty)
{
    ASSERT_TRUE(writeStandInTool(m_directory.path(), QStringLiteral("Ombrino.exe"), {{ToolStep::RecordArguments}}));
    ToolEnvironment environment(m_directory.path());
    openWindow();
    click(QStringLiteral("BitBtn26"));
    EXPECT_EQ(readTextFile(file(QStringLiteral("args.txt"))), QStringLiteral("0:\n"));
    EXPECT_THAT(m_port.closings, ElementsAre(0));
    // The combo box shows Com1: the final connection step opens it.
    EXPECT_EQ(m_port.openings.size(), 1u);
}

TEST_F(NormalisationToolTest, ATooLThatCannotStartLeavesThePortOpen)
{
    ToolEnvironment environment(m_directory.path());
    openConnected();
    const PortHandle handle = m_form->portHandle();
    click(QStringLiteral("BitBtn26"));
    EXPECT_EQ(m_platform.messages, QStringList{QStringLiteral("Something wrong")});
    EXPECT_TRUE(m_port.closings.empty());
    EXPECT_TRUE(m_platform.sleeps.empty());
    EXPECT_EQ(m_form->portHandle(), handle);
    EXPECT_TRUE(m_sim.isOpen(handle));
    EXPECT_EQ(m_port.openings.size(), 1u);
}

} // namespace
