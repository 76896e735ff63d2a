// The "Coin Id" group through the window's controls against the in-process
// virtual validator: the identifiers read and how they are laid out, the
// write and its bytes, "Read All", which "Write" buttons are available, and
// the field that will not be left incomplete.
#include <QPushButton>

#include "ChannelRows.h"
#include "CoinIdField.h"
#include "HandlerGuard.h"
#include "WindowFixture.h"

namespace {

using ::testing::ElementsAre;

const QString kIncomplete =
    QStringLiteral("Valeur d'entr\u00e9e incorrecte. Utiliser Echap pour abandonner les modifications");

class CoinIdPanelTest : public WindowTest
{
protected:
    void SetUp() override
    {
        openConnected();
        control<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        forget();
    }

    const CoinIdRow &row(int channel) { return m_form->channelPanels().coinId.at(channel - 1); }
    CoinIdField *field(int channel) { return row(channel).identifier; }
    std::string &deviceId(int channel) { return m_sim.device().config().coinIds.at(channel - 1); }

    std::vector<bool> writesEnabled()
    {
        std::vector<bool> enabled;
        for (int n = 1; n <= kChannelCount; ++n)
            enabled.push_back(row(n).write->isEnabled());
        return enabled;
    }

    void clickWidget(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    // Clicks into the field at its first place and types.
    void typeInto(int channel, const QString &keys)
    {
        clickWidget(field(channel));
        field(channel)->setCursorPosition(0);
        QTest::keyClicks(field(channel), keys);
    }

    std::vector<bool> noWrites = std::vector<bool>(16, false);
};

TEST_F(CoinIdPanelTest, StartsWithEmptyIdentifiersAndNoWrite)
{
    for (int n = 1; n <= kChannelCount; ++n) {
        EXPECT_EQ(field(n)->fieldText(), QStringLiteral("  _   _ "));
        EXPECT_EQ(field(n)->text(), QStringLiteral("##_###_#"));
        EXPECT_EQ(field(n)->maxLength(), 8);
        EXPECT_EQ(tagOf(field(n)), n);
        EXPECT_EQ(tagOf(row(n).read), n);
        EXPECT_EQ(tagOf(row(n).write), n);
        EXPECT_EQ(field(n)->font().pixelSize(), 11);
    }
    EXPECT_EQ(writesEnabled(), noWrites);
}

TEST_F(CoinIdPanelTest, ReadLaysOutIdentifiersOfEveryLength)
{
    const struct {
        int channel;
        const char *identifier;
        const char *text;
    } cases[] = {
        {1, "EU200A", "EU_200_A"},
        {4, "GB050", "GB_050_ "},
        {9, "TK1", "TK_1  _ "},
        {16, "US025CXY", "US_025_C"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.identifier);
        deviceId(c.channel) = c.identifier;
        forget();
        clickWidget(row(c.channel).read);
        EXPECT_EQ(hostBytes(), requestFrame(0, 184, {static_cast<uint8_t>(c.channel)}));
        EXPECT_EQ(field(c.channel)->fieldText(), QString::fromLatin1(c.text));
        // Setting the text enabled "Write"; the read disables it again.
        EXPECT_FALSE(row(c.channel).write->isEnabled());
    }
    EXPECT_EQ(field(9)->text(), QStringLiteral("TK_1##_#"));
}

TEST_F(CoinIdPanelTest, AFailedReadShowsTheSeparatorsAlone)
{
    clickWidget(row(2).read);
    ASSERT_EQ(field(2)->fieldText(), QStringLiteral("EU_002_A"));
    m_sim.device().setFault(ccsim::Fault::Silence);
    clickWidget(row(2).read);
    EXPECT_EQ(field(2)->fieldText(), QStringLiteral("  _   _ "));
    EXPECT_FALSE(row(2).write->isEnabled());
    EXPECT_TRUE(m_platform.messages.isEmpty());
}

TEST_F(CoinIdPanelTest, EditingARowEnablesOnlyItsWrite)
{
    for (int n = 1; n <= kChannelCount; ++n) {
        SCOPED_TRACE(n);
        clickWidget(row(n).read);
        typeInto(n, QStringLiteral("Q"));
        std::vector<bool> expected = noWrites;
        expected[n - 1] = true;
        EXPECT_EQ(writesEnabled(), expected);
        QTest::keyClick(field(n), Qt::Key_Escape);
        clickWidget(row(n).read);
    }
}

TEST_F(CoinIdPanelTest, WriteSendsTheSixCharactersAndSaysOk)
{
    clickWidget(row(16).read);
    typeInto(16, QStringLiteral("XY123Z"));
    ASSERT_EQ(field(16)->fieldText(), QStringLiteral("XY_123_Z"));
    forget();
    clickWidget(row(16).write);
    EXPECT_EQ(hostBytes(), requestFrame(0, 185, {16, 'X', 'Y', '1', '2', '3', 'Z'}));
    EXPECT_EQ(deviceId(16), "XY123Z");
    EXPECT_THAT(m_platform.messages, ElementsAre(QStringLiteral("Ok")));
    EXPECT_FALSE(row(16).write->isEnabled());

    // Read back changed.
    field(16)->setFieldText(QStringLiteral("  _   _ "));
    clickWidget(row(16).read);
    EXPECT_EQ(field(16)->fieldText(), QStringLiteral("XY_123_Z"));
}

TEST_F(CoinIdPanelTest, AFailedWriteSaysEchecAndKeepsWriteAvailable)
{
    clickWidget(row(5).read);
    typeInto(5, QStringLiteral("AA"));
    m_sim.device().setFault(ccsim::Fault::Nak);
    clickWidget(row(5).write);
    EXPECT_THAT(m_platform.messages, ElementsAre(QStringLiteral("Echec")));
    EXPECT_TRUE(row(5).write->isEnabled());
    EXPECT_EQ(field(5)->fieldText(), QStringLiteral("AA_020_A"));
}

TEST_F(CoinIdPanelTest, ReadAllReadsEveryChannelInOrderAndDisablesEveryWrite)
{
    typeInto(3, QStringLiteral("ABCDEF"));
    typeInto(12, QStringLiteral("ABCDEF"));
    deviceId(12) = "";
    forget();
    click(QStringLiteral("Button79"));
    std::vector<uint8_t> expected;
    for (uint8_t n = 1; n <= 16; ++n) {
        const std::vector<uint8_t> frame = requestFrame(0, 184, {n});
        expected.insert(expected.end(), frame.begin(), frame.end());
    }
    EXPECT_EQ(hostBytes(), expected);
    EXPECT_EQ(field(1)->fieldText(), QStringLiteral("EU_001_A"));
    EXPECT_EQ(field(3)->fieldText(), QStringLiteral("EU_005_A"));
    EXPECT_EQ(field(12)->fieldText(), QStringLiteral("  _   _ "));
    EXPECT_EQ(field(15)->fieldText(), QStringLiteral(".._..._."));
    EXPECT_EQ(writesEnabled(), noWrites);
    EXPECT_EQ(tagOf(control<QWidget>(QStringLiteral("Button79"))), 16);
    EXPECT_TRUE(m_platform.sleeps.empty());
}

TEST_F(CoinIdPanelTest, ReadAllWithoutADeviceStillDisablesEveryWrite)
{
    typeInto(7, QStringLiteral("ABCDEF"));
    m_sim.device().setFault(ccsim::Fault::Silence);
    click(QStringLiteral("Button79"));
    EXPECT_EQ(writesEnabled(), noWrites);
    EXPECT_EQ(field(7)->fieldText(), QStringLiteral("  _   _ "));
    EXPECT_TRUE(m_platform.messages.isEmpty());
}

TEST_F(CoinIdPanelTest, AnIncompleteEditCannotBeLeftUntilEscape)
{
    clickWidget(row(3).read);
    typeInto(3, QStringLiteral("ZZ"));
    QTest::keyClick(field(3), Qt::Key_Backspace);
    ASSERT_EQ(field(3)->fieldText(), QStringLiteral("Z _005_A"));
    ASSERT_TRUE(row(3).write->isEnabled());
    forget();

    // A click on the row's "Write": refused, nothing sent, the focus kept
    // with the cursor on the empty place.
    clickWidget(row(3).write);
    QCoreApplication::processEvents();
    EXPECT_TRUE(hostBytes().empty());
    EXPECT_TRUE(m_platform.messages.isEmpty());
    EXPECT_THAT(m_platform.errors, ElementsAre(errorBoxText(kIncomplete)));
    EXPECT_TRUE(field(3)->hasFocus());
    EXPECT_EQ(field(3)->cursorPosition(), 1);
    EXPECT_TRUE(m_platform.sleeps.empty()); // "Write" never took the focus

    // The Tab key is refused the same way.
    forget();
    QTest::keyClick(field(3), Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_THAT(m_platform.errors, ElementsAre(errorBoxText(kIncomplete)));
    EXPECT_TRUE(field(3)->hasFocus());

    // The error box takes the window's focus and gives it back: the edit
    // is still the one to abandon.
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(m_form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    EXPECT_TRUE(field(3)->hasFocus());

    // Escape abandons the edit; then the field may be left.
    QTest::keyClick(field(3), Qt::Key_Escape);
    EXPECT_EQ(field(3)->fieldText(), QStringLiteral("EU_005_A"));
    forget();
    clickWidget(row(3).read);
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_platform.errors.isEmpty());
    EXPECT_EQ(hostBytes(), requestFrame(0, 184, {3}));
    EXPECT_FALSE(field(3)->hasFocus());
}

TEST_F(CoinIdPanelTest, AClickThroughTheWindowIsRefusedAndTheNextOneWorks)
{
    // The mouse as the window system delivers it: to the window first.
    const auto clickOnWindow = [this](QWidget *widget) {
        const QPoint at = widget->mapTo(m_form.get(), widget->rect().center());
        QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
    };
    clickWidget(row(8).read);
    typeInto(8, QStringLiteral("Q"));
    QTest::keyClick(field(8), Qt::Key_Delete);
    ASSERT_EQ(field(8)->fieldText(), QStringLiteral("Q _200_A"));
    forget();

    clickOnWindow(row(8).write);
    EXPECT_TRUE(hostBytes().empty());
    EXPECT_THAT(m_platform.errors, ElementsAre(errorBoxText(kIncomplete)));
    EXPECT_TRUE(field(8)->hasFocus());
    EXPECT_EQ(field(8)->cursorPosition(), 1);

    QTest::keyClicks(field(8), QStringLiteral("R"));
    ASSERT_EQ(field(8)->fieldText(), QStringLiteral("QR_200_A"));
    forget();
    clickOnWindow(row(8).write);
    EXPECT_TRUE(m_platform.errors.isEmpty());
    EXPECT_EQ(hostBytes(), requestFrame(0, 185, {8, 'Q', 'R', '2', '0', '0', 'A'}));
    EXPECT_THAT(m_platform.messages, ElementsAre(QStringLiteral("Ok")));
}

TEST_F(CoinIdPanelTest, AnUneditedOrCompleteFieldIsLeftFreely)
{
    // Unedited, although empty.
    clickWidget(field(4));
    clickWidget(row(4).read);
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_platform.errors.isEmpty());

    // Edited and complete.
    typeInto(6, QStringLiteral("ABCDEF"));
    forget();
    clickWidget(row(6).write);
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_platform.errors.isEmpty());
    EXPECT_EQ(hostBytes(), requestFrame(0, 185, {6, 'A', 'B', 'C', 'D', 'E', 'F'}));
}

TEST_F(CoinIdPanelTest, ReadAndWriteResumeThePoll)
{
    for (const QPushButton *button : {row(1).read, row(1).write}) {
        SCOPED_TRACE(button->objectName().toStdString());
        typeInto(1, QStringLiteral("ABCDEF"));
        control<QWidget>(QStringLiteral("CheckBox7"))->setFocus();
        timer().setOn(true);
        forget();
        clickWidget(const_cast<QPushButton *>(button));
        // A successful write disables its button without pausing again.
        EXPECT_EQ(m_platform.sleeps, std::vector<int>{200});
        EXPECT_TRUE(timer().isOn());
        timer().setOn(false);
    }

    // "Read All" does not pause, but each of its reads sets the poll back
    // from the flag: a poll paused by a command button runs again.
    timer().setOn(true);
    row(2).read->setFocus(Qt::TabFocusReason);
    ASSERT_FALSE(timer().isOn());
    click(QStringLiteral("Button79"));
    EXPECT_TRUE(timer().isOn());
    timer().setOn(false);
}

} // namespace
