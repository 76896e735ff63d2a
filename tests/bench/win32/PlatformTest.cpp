// The window's Windows platform layer on its own, over Wine's COM ports and
// the real Pontel.dll: the raw write waits for the line, the purges drop
// what came in, a handle Pontel did not open is left alone, and "&Norma."
// hands the port to the tool and takes it back.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <thread>
#include <vector>

#include "CcsimLine.h"
#include "FakePlatform.h"
#include "First.h"
#include "PontelDeclar.h"
#include "StandInTool.h"
#include "SystemPlatform.h"
#include "ToolLauncher.h"
#include "ToolProcess.h"
#include "WinePorts.h"

namespace {

using Clock = std::chrono::steady_clock;

// A serial-number request to address 2, which ccsim answers with 8 bytes
// after the 5 of the echo.
const std::vector<uint8_t> kRequest = {2, 0, 1, 242, 11};

class PlatformTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_handle = ComInit(wineports::kFast, 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
        ASSERT_NE(m_handle, -1);
    }
    void TearDown() override { CloseCom(&m_handle); }

    // Waits (up to five seconds) until count bytes wait unread.
    bool waitForUnread(int count)
    {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < deadline) {
            if (CcsimLine::unreadBytes(m_handle) >= count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    SystemPlatform m_platform;
    PortHandle m_handle = -1;
};

TEST_F(PlatformTest, AWriteReturnsNoSoonerThanTheLineCanCarryIt)
{
    // 8 requests to an address nobody has: 40 bytes, 41.7 ms at 9600 8N1.
    std::vector<uint8_t> bytes;
    for (int n = 0; n < 8; ++n)
        bytes.insert(bytes.end(), {9, 0, 1, 242, 4});
    const auto start = Clock::now();
    ASSERT_TRUE(m_platform.writePort(m_handle, bytes.data(), int(bytes.size())));
    EXPECT_GE(Clock::now() - start, std::chrono::microseconds(41600));
    ASSERT_TRUE(waitForUnread(40)) << "the echo of every byte";
}

TEST_F(PlatformTest, TheDropsThrowAwayWhatCameIn)
{
    ASSERT_TRUE(m_platform.writePort(m_handle, kRequest.data(), int(kRequest.size())));
    ASSERT_TRUE(waitForUnread(13));
    m_platform.dropUnreadInput(m_handle);
    EXPECT_EQ(CcsimLine::unreadBytes(m_handle), 0);

    // The settle waits out a reply still on its way, then drops it.
    ASSERT_TRUE(m_platform.writePort(m_handle, kRequest.data(), int(kRequest.size())));
    m_platform.discardPortInput(m_handle);
    EXPECT_EQ(CcsimLine::unreadBytes(m_handle), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(CcsimLine::unreadBytes(m_handle), 0) << "nothing of the reply came after the settle";
}

TEST_F(PlatformTest, AHandlePontelDidNotOpenIsLeftAlone)
{
    QTemporaryDir folder;
    const QByteArray path = QDir::toNativeSeparators(folder.filePath(QStringLiteral("other.bin"))).toLocal8Bit();
    HANDLE file = CreateFileA(path.constData(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, "kept", 4, &written, nullptr));
    const PortHandle other = PortHandle(HandleToLong(file));

    PortHandle closed = ComInit(wineports::kSpare, 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
    ASSERT_NE(closed, -1);
    ASSERT_TRUE(CloseCom(&closed));

    for (PortHandle refused : {other, closed, PortHandle(0), PortHandle(-1)}) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(m_platform.writePort(refused, kRequest.data(), int(kRequest.size())));
        uint8_t buffer[8];
        EXPECT_EQ(m_platform.readPortUpTo(refused, buffer, sizeof buffer), -1);
        m_platform.dropUnreadInput(refused);
        m_platform.discardPortInput(refused);
    }
    LARGE_INTEGER size{};
    ASSERT_TRUE(GetFileSizeEx(file, &size));
    EXPECT_EQ(size.QuadPart, 4);
    LARGE_INTEGER position{};
    ASSERT_TRUE(SetFilePointerEx(file, LARGE_INTEGER{}, &position, FILE_CURRENT));
    EXPECT_EQ(position.QuadPart, 4) << "nothing read or written through the file's handle";
    CloseHandle(file);
}

// "&Norma." with the real platform: the tool finds the port free while it
// runs, and the window has it open again once the tool's window has closed.
TEST(NormalisationOnWindowsTest, TheToolHasThePortWhileItRunsAndTheWindowAfter)
{
    QTemporaryDir folder;
    ASSERT_TRUE(writeStandInTool(folder.path(), QStringLiteral("Ombrino.exe"),
                                 {{ToolStep::RecordArguments}, {ToolStep::TryPort}, {ToolStep::ShowWindow, 700}}));
    ToolEnvironment environment(folder.path());
    const auto file = [&folder](const char *name) { return readTextFile(folder.filePath(QLatin1String(name))); };

    FakePlatform platform; // dialogs recorded; the tool and the port real
    TMainForm form(platform);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto *ports = form.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    const QString portText = QStringLiteral("Com%1").arg(wineports::kFast);
    ports->setCurrentIndex(ports->findText(portText));
    ASSERT_EQ(ports->currentText(), portText);
    ASSERT_TRUE(PontelIsOpen(form.portHandle()));

    // The port is closed by the time the window waits for the tool. (The
    // tool's own open says so on Windows; Wine lets a second open of a COM
    // port through, so there the window's side is what shows it.)
    const PortHandle before = form.portHandle();
    bool openDuringTheWait = true;
    platform.onSleep = [&](int) { openDuringTheWait = PontelIsOpen(before) != 0; };

    form.findChild<QLabel *>(QStringLiteral("StaticText1"))->setText(QStringLiteral("x"));
    QTest::mouseClick(form.findChild<QAbstractButton *>(QStringLiteral("BitBtn26")), Qt::LeftButton);
    EXPECT_EQ(file("args.txt"), QStringLiteral("1:COM2\n"));
    EXPECT_EQ(file("port.txt"), QStringLiteral("free\n"));
    EXPECT_FALSE(openDuringTheWait);
    EXPECT_FALSE(topLevelWindowExists(QStringLiteral("Ombrino")));
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_TRUE(PontelIsOpen(form.portHandle()));
    EXPECT_EQ(form.findChild<QLabel *>(QStringLiteral("StaticText1"))->text(), QStringLiteral("1234567"));
}

} // namespace
