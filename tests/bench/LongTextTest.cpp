// Both pages with the longest answers a device can give: 254-character
// identity texts (the library shows a text of 255 as empty), address 255, every address mode bit, the longest status
// and polling texts, full counters. Nothing may be cut or run under a
// neighbouring control; a display too long for its room is shown cut with
// its whole text in its tooltip.
//
// With CCBENCH_SCREENSHOTS set to a folder, the test also saves a picture of
// each page there (run it under xvfb-run with QT_QPA_PLATFORM=xcb).
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>

#include "PaintedCut.h"
#include "TextFit.h"
#include "WindowFixture.h"

namespace {

std::string longText(char first)
{
    std::string text;
    for (int i = 0; i < 254; ++i)
        text += static_cast<char>(first + i % 26);
    return text;
}

QString toolTipText(const QWidget *widget)
{
    QTextDocument document;
    document.setHtml(widget->toolTip());
    return document.toPlainText();
}

class LongTextTest : public WindowTest
{
protected:
    void SetUp() override
    {
        setLongAnswers();
        openConnected();
    }

    void setLongAnswers()
    {
        ccsim::DeviceConfig &config = m_sim.device().config();
        config.address = 255;
        config.manufacturer = longText('A');
        config.equipmentCategory = longText('B');
        config.productCode = longText('C');
        config.softwareRevision = longText('D');
        config.buildCode = longText('E');
        config.serialNumber = 0xFFFFFF;
        config.databaseVersion = 255;
        config.addressMode = 0xFF;
        config.status = 1;
        config.pollingUnits = 0;
        config.pollingValue = 0;
        config.commsRevision = {255, 255, 255};
        for (std::string &id : config.coinIds)
            id = "WWWWWWWW";
        for (uint8_t &path : config.sorterPaths)
            path = 8;
    }

    void clickAll(std::initializer_list<const char *> names)
    {
        for (const char *name : names)
            click(QString::fromLatin1(name));
    }

    void expectNothingCutOrCovered()
    {
        const QStringList cut = cutTexts(m_form.get());
        EXPECT_TRUE(cut.isEmpty()) << cut.join(u'\n').toStdString();
        const QStringList overlaps = overlappingDisplays(m_form.get());
        EXPECT_TRUE(overlaps.isEmpty()) << overlaps.join(u'\n').toStdString();
    }

    void readPageGroup1()
    {
        // "SimplePool" first: later commands go to the address that answered.
        clickAll({"BitBtn5", "BitBtn6", "BitBtn9", "BitBtn10", "BitBtn20", "BitBtn11", "BitBtn12",
                  "BitBtn13", "BitBtn14", "BitBtn16", "Button8", "Button42", "Button43", "Button44",
                  "BitBtn3", "BitBtn19", "BitBtn21", "BitBtn2"});
        ASSERT_TRUE(m_platform.messages.isEmpty()) << m_platform.messages.join(u'\n').toStdString();
    }

    void readPageGroup2()
    {
        control<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        clickAll({"Button77", "BitBtn18", "Button79"});
        ASSERT_TRUE(m_platform.messages.isEmpty()) << m_platform.messages.join(u'\n').toStdString();
    }

    void savePicture(const QString &file)
    {
        const QString folder = qEnvironmentVariable("CCBENCH_SCREENSHOTS");
        if (folder.isEmpty())
            return;
        QTest::qWait(200);
        EXPECT_TRUE(m_form->grab().save(QDir(folder).filePath(file)));
    }
};

TEST_F(LongTextTest, PageGroup1ShowsEveryAnswerWholeOrInItsTooltip)
{
    readPageGroup1();
    EXPECT_EQ(text(QStringLiteral("Label1")), QStringLiteral("255"));
    EXPECT_EQ(text(QStringLiteral("StaticText1")), QStringLiteral("16777215"));
    expectNothingCutOrCovered();

    const std::pair<const char *, std::string> identities[] = {
        {"StaticText3", longText('A')}, {"StaticText4", longText('B')}, {"StaticText5", longText('C')},
        {"StaticText7", longText('D')}, {"StaticText8", longText('E')},
    };
    for (const auto &[name, whole] : identities) {
        SCOPED_TRACE(name);
        auto *display = control<QLabel>(QString::fromLatin1(name));
        EXPECT_EQ(text(QString::fromLatin1(name)), QString::fromStdString(whole));
        EXPECT_TRUE(shownText(display).endsWith(QChar(0x2026))) << "painted cut";
        EXPECT_EQ(toolTipText(display), QString::fromStdString(whole));
    }
    const std::pair<const char *, const char *> others[] = {
        {"Label4", "Coin return mech. actived"},
        {"StaticText9", " - ROM - RAM - EEPROM - CONNECTOR - LINKS - SWITCH - SERIAL & VOLATILE"
                        " - SERIAL & NON VOLATILE"},
        {"StaticText2", "See Product Maual"},
        {"StaticText10", "Level 255 - 255.255"},
    };
    for (const auto &[name, whole] : others) {
        SCOPED_TRACE(name);
        auto *display = control<QLabel>(QString::fromLatin1(name));
        EXPECT_EQ(text(QString::fromLatin1(name)), QString::fromLatin1(whole));
        if (shownText(display) != QString::fromLatin1(whole)) {
            EXPECT_EQ(toolTipText(display), QString::fromLatin1(whole));
        } else {
            EXPECT_TRUE(display->toolTip().isEmpty());
        }
    }
    savePicture(QStringLiteral("brevant-long.png"));
}

TEST_F(LongTextTest, PageGroup2ShowsEveryAnswerWhole)
{
    readPageGroup2();
    EXPECT_EQ(text(QStringLiteral("MaskEdit1")), QStringLiteral("WW_WWW_W"));
    expectNothingCutOrCovered();
    savePicture(QStringLiteral("brevant-group2-long.png"));
}

// The virtual validator's everyday answers: the pictures of the README.
class EverydayTextTest : public LongTextTest
{
protected:
    void SetUp() override { openConnected(); }
};

TEST_F(EverydayTextTest, BothPagesShowEveryAnswerWhole)
{
    readPageGroup1();
    expectNothingCutOrCovered();
    EXPECT_EQ(control<QLabel>(QStringLiteral("StaticText3"))->text(), QStringLiteral("Virtual Validators"));
    savePicture(QStringLiteral("brevant.png"));
    readPageGroup2();
    expectNothingCutOrCovered();
    savePicture(QStringLiteral("brevant-group2.png"));
}

} // namespace

namespace {

class DisplayTextTest : public WindowTest
{
};

// Device texts are characters as sent, never markup: in the display, in its
// tooltip when it is cut, and in every label of the window.
TEST_F(DisplayTextTest, DeviceTextsShowAsTyped)
{
    const std::string marked = "<b>ACME</b> &amp; Co";
    const std::string longMarked = "<i>" + std::string(200, 'x') + "</i> &lt;";
    m_sim.device().config().manufacturer = marked;
    m_sim.device().config().productCode = longMarked;
    openConnected();
    click(QStringLiteral("BitBtn11"));
    click(QStringLiteral("BitBtn13"));
    auto *manufacturer = control<QLabel>(QStringLiteral("StaticText3"));
    EXPECT_EQ(manufacturer->text(), QString::fromStdString(marked));
    EXPECT_TRUE(manufacturer->toolTip().isEmpty());
    EXPECT_EQ(toolTipText(control<QLabel>(QStringLiteral("StaticText5"))), QString::fromStdString(longMarked));
    for (const QLabel *label : m_form->findChildren<QLabel *>()) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    }
}

// Enter and Return on the focused button press it as the space bar does:
// down on the key press, clicked on the release; buttons keep their look.
TEST_F(DisplayTextTest, EnterAndReturnPressTheFocusedButton)
{
    openConnected();
    auto *product = control<QPushButton>(QStringLiteral("BitBtn13"));
    product->setFocus(Qt::TabFocusReason);
    QTest::keyPress(product, Qt::Key_Return);
    EXPECT_TRUE(product->isDown());
    EXPECT_TRUE(control<QWidget>(QStringLiteral("StaticText5"))->isHidden());
    QTest::keyRelease(product, Qt::Key_Return);
    EXPECT_FALSE(product->isDown());
    EXPECT_EQ(text(QStringLiteral("StaticText5")), QStringLiteral("CV-16"));

    auto *manufacturer = control<QPushButton>(QStringLiteral("BitBtn11"));
    manufacturer->setFocus(Qt::TabFocusReason);
    QTest::keyClick(manufacturer, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(text(QStringLiteral("StaticText3")), QStringLiteral("Virtual Validators"));

    // With a modifier the key is not the plain Enter.
    auto *equipment = control<QPushButton>(QStringLiteral("BitBtn12"));
    equipment->setFocus(Qt::TabFocusReason);
    QTest::keyClick(equipment, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_TRUE(control<QWidget>(QStringLiteral("StaticText4"))->isHidden());

    for (const QPushButton *button : m_form->findChildren<QPushButton *>()) {
        EXPECT_FALSE(button->isDefault() || button->autoDefault()) << button->objectName().toStdString();
    }
}

} // namespace
