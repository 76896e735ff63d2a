// The coin id field that must not be left with an incomplete edit, through
// the window's controls against the in-process virtual validator: every way
// of leaving meets the same refusal, nothing that was refused acts on the
// window, and no incomplete identifier ever goes on the line.
#include <QClipboard>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QSpontaneKeyEvent>
#include <QTabBar>
#include <QWheelEvent>

#include <functional>

#include "CoinIdField.h"
#include "HandlerGuard.h"
#include "WindowFixture.h"

namespace {

using ::testing::ElementsAre;

const QString kIncomplete =
    QStringLiteral("Valeur d'entr\u00e9e incorrecte. Utiliser Echap pour abandonner les modifications");

class CoinIdLeaveTest : public WindowTest
{
protected:
    void SetUp() override
    {
        openConnected();
        pages()->setCurrentIndex(1);
        forget();
    }

    QTabWidget *pages() { return control<QTabWidget>(QStringLiteral("PageControl1")); }
    CoinIdField *field(int n) { return control<CoinIdField>(QStringLiteral("MaskEdit%1").arg(n)); }
    QPushButton *write(int n) { return control<QPushButton>(QStringLiteral("Button%1").arg(44 + n)); }
    QPushButton *read(int n) { return control<QPushButton>(QStringLiteral("Button%1").arg(60 + n)); }

    void clickOn(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    // Clicks into row n's field and types from its first place.
    void typeInto(int n, const QString &keys)
    {
        clickOn(field(n));
        field(n)->setCursorPosition(0);
        QTest::keyClicks(field(n), keys);
    }

    // Reads row n, then types over its first place and empties its second:
    // an edited identifier with one empty place.
    void leaveIncomplete(int n)
    {
        pages()->setCurrentIndex(1);
        clickOn(read(n));
        typeInto(n, QStringLiteral("Q"));
        QTest::keyClick(field(n), Qt::Key_Delete);
        ASSERT_EQ(field(n)->text().left(2), QStringLiteral("Q#"));
        forget();
    }

    // A turn of the mouse wheel as the window system delivers it, over the
    // middle of a control.
    void wheelOver(QWidget *widget)
    {
        const QPointF at = widget->mapTo(m_form.get(), widget->rect().center());
        QWheelEvent wheel(at, m_form->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        QApplication::sendEvent(m_form->windowHandle(), &wheel);
        QCoreApplication::processEvents();
    }

    // The refusal and nothing else: the box, the focus kept on the field at
    // its empty place, the page unchanged, nothing on the line.
    void expectRefused(int n)
    {
        QCoreApplication::processEvents();
        EXPECT_THAT(m_platform.errors, ElementsAre(errorBoxText(kIncomplete)));
        EXPECT_TRUE(m_platform.messages.isEmpty());
        EXPECT_EQ(m_form->focusWidget(), field(n));
        EXPECT_EQ(field(n)->cursorPosition(), 1);
        EXPECT_EQ(pages()->currentIndex(), 1);
        EXPECT_TRUE(hostBytes().empty());
    }

    // Completes the edit and writes it with a click: the click is not lost.
    void expectCompletedWriteWorks(int n)
    {
        QTest::keyClicks(field(n), QStringLiteral("R"));
        const QByteArray identifier = CoinIdField::identifierOfText(field(n)->fieldText());
        ASSERT_TRUE(identifier.startsWith("QR"));
        forget();
        clickOn(write(n));
        std::vector<uint8_t> data{static_cast<uint8_t>(n)};
        data.insert(data.end(), identifier.begin(), identifier.end());
        EXPECT_EQ(hostBytes(), requestFrame(0, 185, data));
        EXPECT_THAT(m_platform.messages, ElementsAre(QStringLiteral("Ok")));
    }
};

TEST_F(CoinIdLeaveTest, EveryOtherWayOfLeavingMeetsTheRefusalAndDoesNothingElse)
{
    QSpinBox *path = control<QSpinBox>(QStringLiteral("SpinEdit6"));
    QPushButton *pathWrite = control<QPushButton>(QStringLiteral("Button16"));
    const struct {
        const char *way;
        std::function<void()> leave;
    } ways[] = {
        {"Ctrl+Tab", [this] { QTest::keyClick(field(6), Qt::Key_Tab, Qt::ControlModifier); }},
        {"Ctrl+Shift+Tab",
         [this] { QTest::keyClick(field(6), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier); }},
        {"wheel over a sorter path", [this, path] { wheelOver(path); }},
        {"wheel over the tabs", [this] { wheelOver(pages()->tabBar()); }},
        {"click while the window is inactive",
         [this] {
             QApplication::setActiveWindow(nullptr);
             clickOn(write(6));
             QApplication::setActiveWindow(m_form.get());
             ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
         }},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.way);
        leaveIncomplete(6);
        way.leave();
        expectRefused(6);
        EXPECT_EQ(path->value(), 0);
        EXPECT_FALSE(pathWrite->isEnabled());
        expectCompletedWriteWorks(6);
    }
}

TEST_F(CoinIdLeaveTest, ShortcutsMeetTheRefusalAndTheirCommandsDoNotRun)
{
    // The only mnemonic of the layout ("&Norma.", Alt+N) stands on the other
    // page; the page's own "Read All" is given one, and the window a
    // shortcut of its own.
    auto *readAll = control<QPushButton>(QStringLiteral("Button79"));
    readAll->setText(QStringLiteral("&Read All"));
    int shortcutRuns = 0;
    auto *shortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+R")), m_form.get());
    QObject::connect(shortcut, &QShortcut::activated, [&shortcutRuns] { ++shortcutRuns; });
    const struct {
        const char *way;
        Qt::KeyboardModifier modifier;
    } ways[] = {{"mnemonic Alt+R", Qt::AltModifier}, {"shortcut Ctrl+R", Qt::ControlModifier}};
    for (const auto &way : ways) {
        SCOPED_TRACE(way.way);
        leaveIncomplete(6);
        QTest::keyClick(field(6), Qt::Key_R, way.modifier);
        EXPECT_FALSE(readAll->isDown()) << "the click of the mnemonic is on its way";
        QTest::qWait(200); // longer than the animated click of a mnemonic
        expectRefused(6);
        EXPECT_EQ(shortcutRuns, 0);
        expectCompletedWriteWorks(6);
    }
}

TEST_F(CoinIdLeaveTest, AWriteNeverSendsAnIdentifierWithAnEmptyPlace)
{
    // However "Write" came to be available: blanks from the start, and a
    // short identifier read from the device.
    m_sim.device().config().coinIds.at(8) = "GB050";
    clickOn(read(9));
    ASSERT_EQ(field(9)->fieldText(), QStringLiteral("GB_050_ "));
    for (const int n : {4, 9}) {
        SCOPED_TRACE(n);
        forget();
        write(n)->setEnabled(true);
        clickOn(write(n));
        QCoreApplication::processEvents();
        EXPECT_TRUE(hostBytes().empty());
        EXPECT_THAT(m_platform.errors, ElementsAre(errorBoxText(kIncomplete)));
        EXPECT_TRUE(m_platform.messages.isEmpty());
        EXPECT_EQ(m_form->focusWidget(), field(n));
        EXPECT_EQ(field(n)->cursorPosition(), field(n)->firstEmptyPlace());
    }
}

TEST_F(CoinIdLeaveTest, EscapeLeavesWriteAsItWasBeforeTheEdit)
{
    // Never edited: blanks from the start.
    typeInto(4, QStringLiteral("Q"));
    QTest::keyClick(field(4), Qt::Key_Escape);
    EXPECT_EQ(field(4)->fieldText(), QStringLiteral("  _   _ "));
    EXPECT_FALSE(write(4)->isEnabled());

    // An edit not yet written stays to be written; once written, it does not.
    typeInto(5, QStringLiteral("ABCDEF"));
    for (const bool written : {false, true}) {
        SCOPED_TRACE(written);
        clickOn(written ? static_cast<QWidget *>(write(5)) : field(4));
        typeInto(5, QStringLiteral("X"));
        QTest::keyClick(field(5), Qt::Key_Escape);
        EXPECT_EQ(field(5)->fieldText(), QStringLiteral("AB_CDE_F"));
        EXPECT_EQ(write(5)->isEnabled(), !written);
    }
    EXPECT_TRUE(m_platform.errors.isEmpty());
}

TEST_F(CoinIdLeaveTest, ACopiedEmptyPlaceStaysEmptyWhenPasted)
{
    leaveIncomplete(3);
    field(3)->selectAll();
    QTest::keySequence(field(3), QKeySequence::Copy);
    QTest::keyClick(field(3), Qt::Key_Escape);
    ASSERT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("Q#_")));

    clickOn(read(7));
    clickOn(field(7));
    field(7)->selectAll();
    QTest::keySequence(field(7), QKeySequence::Paste);
    EXPECT_EQ(field(7)->text(), QGuiApplication::clipboard()->text());
    forget();
    clickOn(write(7));
    expectRefused(7);
}

TEST_F(CoinIdLeaveTest, TypingTheSeparatorsStepsOverThemAsPastingDoes)
{
    typeInto(2, QStringLiteral("AB_CDE_F"));
    EXPECT_EQ(field(2)->fieldText(), QStringLiteral("AB_CDE_F"));
    clickOn(write(2));
    EXPECT_EQ(hostBytes(), requestFrame(0, 185, {2, 'A', 'B', 'C', 'D', 'E', 'F'}));
}

} // namespace
