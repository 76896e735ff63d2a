// The window as a whole: its frame, the controls with their names, captions,
// positions and sizes, the 16-row panels and their tags, the lamps, and
// which buttons pause the poll on focus.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QProgressBar>
#include <QFontInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <set>

#include "TextFit.h"
#include "WindowFixture.h"
#include "WindowLook.h"

namespace {

class LayoutTest : public WindowTest
{
protected:
    void SetUp() override { openWindow(); }
};

TEST_F(LayoutTest, WindowFrame)
{
    EXPECT_EQ(m_form->objectName(), QStringLiteral("MainForm"));
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("ccTalk"));
    EXPECT_EQ(m_form->size(), QSize(697, 578));
    EXPECT_EQ(m_form->minimumSize(), QSize(697, 578));
    EXPECT_EQ(m_form->maximumSize(), QSize(697, 578));
    const Qt::WindowFlags flags = m_form->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    auto *pages = control<QTabWidget>(QStringLiteral("PageControl1"));
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_EQ(pages->widget(0)->objectName(), QStringLiteral("TabSheet1"));
    EXPECT_EQ(pages->tabText(0), QStringLiteral("Group 1"));
    EXPECT_EQ(pages->widget(1)->objectName(), QStringLiteral("TabSheet2"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("Group 2"));
}

TEST_F(LayoutTest, ControlsWithGivenPlaces)
{
    struct Place {
        const char *name;
        QRect geometry; // width or height 0: not given
    };
    const Place places[] = {
        {"Button41", {8, 8, 75, 25}},      {"ComboBox1", {88, 10, 105, 0}},
        {"Label55", {200, 12, 0, 0}},      {"BitBtn2", {232, 8, 81, 25}},
        {"StaticText1", {320, 12, 0, 0}},  {"GroupBox10", {424, 3, 225, 40}},
        {"Label46", {656, 18, 0, 0}},      {"PageControl1", {8, 56, 681, 473}},
        {"GroupBox8", {8, 528, 601, 49}},  {"BitBtn4", {616, 544, 75, 25}},
        {"BitBtn26", {624, 184, 49, 41}},  {"BitBtn15", {32, 8, 75, 25}},
        {"BitBtn5", {32, 33, 75, 25}},     {"BitBtn6", {32, 58, 75, 25}},
        {"BitBtn7", {32, 83, 75, 25}},     {"BitBtn8", {32, 109, 75, 25}},
        {"BitBtn9", {32, 134, 75, 25}},    {"BitBtn10", {32, 159, 75, 25}},
        {"BitBtn11", {32, 185, 75, 25}},   {"BitBtn12", {32, 210, 75, 25}},
        {"BitBtn13", {32, 235, 75, 25}},   {"BitBtn14", {32, 261, 75, 25}},
        {"BitBtn16", {32, 286, 75, 25}},   {"Button8", {32, 311, 75, 25}},
        {"Button42", {32, 337, 75, 25}},   {"Button43", {32, 362, 75, 25}},
        {"Button44", {32, 387, 75, 25}},   {"BitBtn3", {32, 413, 75, 25}},
        {"BitBtn20", {184, 163, 81, 25}},  {"StaticText10", {184, 145, 0, 0}},
        {"Edit2", {112, 85, 33, 21}},
    };
    for (const Place &p : places) {
        SCOPED_TRACE(p.name);
        const QWidget *c = control<QWidget>(QString::fromLatin1(p.name));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->pos(), p.geometry.topLeft());
        if (p.geometry.width() > 0) {
            EXPECT_EQ(c->width(), p.geometry.width());
        }
        if (p.geometry.height() > 0) {
            EXPECT_EQ(c->height(), p.geometry.height());
        }
    }
}

TEST_F(LayoutTest, ButtonCaptions)
{
    const std::pair<const char *, const char *> captions[] = {
        {"Button41", "Init"},         {"BitBtn2", "Serial Number"},  {"BitBtn4", "Close"},
        {"BitBtn26", "&Norma."},      {"BitBtn15", "Reset"},         {"BitBtn5", "SimplePool"},
        {"BitBtn6", "GetAdresse"},    {"BitBtn7", "SetAdresse"},     {"BitBtn8", "RandAdress"},
        {"BitBtn9", "Polling"},       {"BitBtn10", "Status"},        {"BitBtn20", "cctalk Version"},
        {"BitBtn11", "Manufacturer"}, {"BitBtn12", "Equipement"},    {"BitBtn13", "Product"},
        {"BitBtn14", "DataBase"},     {"BitBtn16", "SoftVersion"},   {"Button8", "GetMaster"},
        {"Button42", "Creation"},     {"Button43", "Modification"},  {"Button44", "Build code"},
        {"BitBtn3", "Adresse mode"},  {"Button5", "Latch"},          {"Button2", "Shot"},
        {"Button3", "Test"},          {"Button4", "Test"},           {"Button1", "Test"},
        {"BitBtn19", "Read"},         {"BitBtn1", "Start"},          {"BitBtn24", "Stop"},
        {"Button77", "Read All"},     {"Button78", "Write All"},     {"Button7", "All"},
        {"Button6", "Any"},           {"BitBtn18", "Read"},          {"BitBtn17", "Write"},
        {"Button79", "Read All"},     {"BitBtn23", "Send"},          {"BitBtn25", "Start"},
        {"BitBtn21", "Read"},         {"BitBtn22", "Clear"},
    };
    for (const auto &[name, caption] : captions) {
        SCOPED_TRACE(name);
        auto *button = control<QAbstractButton>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromLatin1(caption));
    }
}

TEST_F(LayoutTest, DisplaysAtStart)
{
    const std::pair<const char *, const char *> texts[] = {
        {"StaticText1", "0"},  {"Label46", "V 1.2.0"},   {"Label1", ""},        {"Label2", ""},
        {"Edit2", "000"},      {"StaticText2", "###"},   {"Label3", ""},        {"Label4", ""},
        {"StaticText3", "###"}, {"StaticText4", "###"}, {"StaticText5", "###"}, {"StaticText6", "###"},
        {"StaticText7", "###"}, {"Label6", ""},          {"Label22", ""},       {"StaticText8", "###"},
        {"StaticText9", "###"}, {"StaticText10", ""},    {"Edit1", "    500"},  {"LabeledEdit1", "02"},
        {"LabeledEdit2", "000"}, {"LabeledEdit3", " "},  {"StaticText14", "0"}, {"StaticText15", "1"},
        {"StaticText16", "0"}, {"Label52", "0"},         {"StaticText11", "0"}, {"StaticText12", "0"},
        {"StaticText13", "0"},
    };
    for (const auto &[name, shown] : texts) {
        SCOPED_TRACE(name);
        EXPECT_EQ(text(QString::fromLatin1(name)), QString::fromUtf8(shown));
    }
    for (int n = 2; n <= 10; ++n)
        EXPECT_TRUE(control<QWidget>(QStringLiteral("StaticText%1").arg(n))->isHidden()) << n;
    EXPECT_FALSE(control<QCheckBox>(QStringLiteral("CheckBox23"))->isChecked());
    EXPECT_TRUE(control<QRadioButton>(QStringLiteral("RadioGroup1Item1"))->isChecked());
    auto *gap = control<QSpinBox>(QStringLiteral("SpinEdit17"));
    EXPECT_EQ(gap->value(), 20);
    EXPECT_EQ(gap->minimum(), 1);
    EXPECT_EQ(gap->maximum(), 65535);
    auto *span = control<QSpinBox>(QStringLiteral("SpinEdit18"));
    EXPECT_EQ(span->value(), 60);
    auto *gauge = control<QProgressBar>(QStringLiteral("Gauge1"));
    EXPECT_EQ(gauge->value(), 0);
    EXPECT_EQ(gauge->maximum(), 60);
    auto *grid = control<QTableWidget>(QStringLiteral("StringGrid1"));
    EXPECT_EQ(grid->rowCount(), 6);
    EXPECT_EQ(grid->columnCount(), 3);
    EXPECT_EQ(grid->columnWidth(0), 31);
    EXPECT_EQ(grid->columnWidth(1), 43);
    EXPECT_EQ(grid->columnWidth(2), 57);
    EXPECT_TRUE(control<QComboBox>(QStringLiteral("ComboBox1"))->isEditable());
}

TEST_F(LayoutTest, HeaderLabelsNameEveryFixedCommand)
{
    const char *const headers[] = {
        "242", "001", "254", "253", "251", "250", "249", "248", "004", "246", "245",
        "244", "243", "241", "227", "196", "195", "192", "169", "238", "233", "237",
        "236", "240", "229", "209", "210", "230", "231", "184", "185", "002", "003",
    };
    std::multiset<QString> shown;
    for (const QLabel *label : m_form->findChildren<QLabel *>()) {
        if (label->text().size() == 3 && label->text().at(0).isDigit())
            shown.insert(label->text());
    }
    for (const char *header : headers) {
        EXPECT_EQ(shown.count(QString::fromLatin1(header)), 1u) << header;
    }
    EXPECT_EQ(shown.size(), std::size(headers));
    EXPECT_EQ(text(QStringLiteral("Label78")), QStringLiteral("002"));
    EXPECT_EQ(text(QStringLiteral("Label79")), QStringLiteral("003"));
    EXPECT_EQ(text(QStringLiteral("Label55")), QStringLiteral("242"));
}

TEST_F(LayoutTest, ChannelRowsCarryTheirChannelAsTag)
{
    for (int n = 1; n <= 16; ++n) {
        SCOPED_TRACE(n);
        const QString sorterRead = QStringLiteral("Button%1").arg(n <= 2 ? 8 + n : 24 + n);
        const QString sorterWrite = QStringLiteral("Button%1").arg(10 + n);
        const QStringList names = {
            sorterRead, sorterWrite, QStringLiteral("SpinEdit%1").arg(n),
            QStringLiteral("CheckBox%1").arg(6 + n), QStringLiteral("Button%1").arg(60 + n),
            QStringLiteral("Label%1").arg(22 + n), QStringLiteral("MaskEdit%1").arg(n),
            QStringLiteral("Button%1").arg(44 + n),
        };
        for (const QString &name : names) {
            const QWidget *c = control<QWidget>(name);
            ASSERT_NE(c, nullptr) << name.toStdString();
            EXPECT_EQ(c->property("tag").toInt(), n) << name.toStdString();
        }
        EXPECT_EQ(control<QAbstractButton>(sorterRead)->text(), QStringLiteral("Read"));
        EXPECT_EQ(control<QAbstractButton>(sorterWrite)->text(), QStringLiteral("Write"));
        EXPECT_FALSE(control<QWidget>(sorterWrite)->isEnabled());
        EXPECT_FALSE(control<QWidget>(QStringLiteral("Button%1").arg(44 + n))->isEnabled());
        auto *path = control<QSpinBox>(QStringLiteral("SpinEdit%1").arg(n));
        EXPECT_EQ(path->minimum(), 0);
        EXPECT_EQ(path->maximum(), 8);
        EXPECT_EQ(path->value(), 0);
        EXPECT_EQ(text(QStringLiteral("Label%1").arg(22 + n)), QStringLiteral("Channel %1").arg(n));
        // Blanks in the six places, drawn as "#".
        EXPECT_EQ(text(QStringLiteral("MaskEdit%1").arg(n)), QStringLiteral("##_###_#"));
        auto *box = control<QCheckBox>(QStringLiteral("CheckBox%1").arg(6 + n));
        EXPECT_EQ(box->text(), QStringLiteral("Channel %1").arg(n));
        EXPECT_FALSE(box->isChecked());
        // Rows stand 24 pixels apart.
        if (n > 1) {
            EXPECT_EQ(box->y() - control<QWidget>(QStringLiteral("CheckBox%1").arg(5 + n))->y(), 24);
        }
    }
    EXPECT_TRUE(control<QWidget>(QStringLiteral("Button78"))->isEnabled());
}

TEST_F(LayoutTest, LampsAreStackedPairsOfPictures)
{
    for (int off = 1; off <= 25; off += 2) {
        SCOPED_TRACE(off);
        auto *offPicture = control<QLabel>(QStringLiteral("Image%1").arg(off));
        auto *onPicture = control<QLabel>(QStringLiteral("Image%1").arg(off + 1));
        ASSERT_NE(offPicture, nullptr);
        ASSERT_NE(onPicture, nullptr);
        EXPECT_EQ(offPicture->geometry(), onPicture->geometry());
        EXPECT_EQ(offPicture->size(), QSize(15, 15));
        EXPECT_FALSE(offPicture->pixmap().isNull());
        EXPECT_FALSE(onPicture->pixmap().isNull());
        EXPECT_FALSE(offPicture->isHidden());
        EXPECT_TRUE(onPicture->isHidden());
        EXPECT_NE(offPicture->pixmap().toImage(), onPicture->pixmap().toImage());
    }
}

TEST_F(LayoutTest, ExactlyTheNinetySixCommandButtonsPauseOnFocus)
{
    const std::set<QString> withoutPause = {
        QStringLiteral("Button41"), QStringLiteral("BitBtn4"),  QStringLiteral("BitBtn26"),
        QStringLiteral("BitBtn1"),  QStringLiteral("BitBtn24"), QStringLiteral("Button77"),
        QStringLiteral("Button78"), QStringLiteral("Button79"), QStringLiteral("BitBtn25"),
    };
    const QList<QPushButton *> buttons = m_form->findChildren<QPushButton *>();
    EXPECT_EQ(buttons.size(), 105);
    std::set<QString> names;
    int pausing = 0;
    for (const QPushButton *button : buttons) {
        names.insert(button->objectName());
        const bool expected = withoutPause.count(button->objectName()) == 0;
        EXPECT_EQ(m_form->pausesOnFocus(button), expected) << button->objectName().toStdString();
        pausing += m_form->pausesOnFocus(button) ? 1 : 0;
    }
    EXPECT_EQ(names.size(), 105u) << "object names are unique";
    EXPECT_EQ(pausing, 96);
    // No other kind of control pauses.
    for (const QWidget *w : m_form->findChildren<QWidget *>()) {
        if (!qobject_cast<const QPushButton *>(w)) {
            EXPECT_FALSE(m_form->pausesOnFocus(w)) << w->objectName().toStdString();
        }
    }
}

// The fonts are the installed ones the layout is drawn for, and with them
// no caption, field or display text of either page is cut.
TEST_F(LayoutTest, EveryCaptionAndTextFitsItsControl)
{
    EXPECT_EQ(QFontInfo(windowFont()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(courierFont(11)).family(), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(QFontInfo(m_form->font()).family(), QStringLiteral("Liberation Sans"));
    const QStringList cut = cutTexts(m_form.get());
    EXPECT_TRUE(cut.isEmpty()) << cut.join(u'\n').toStdString();
}

// In every style the window may be drawn with (frames of one or two pixels).
TEST_F(LayoutTest, TheEventGridShowsAllItsRowsWithoutScrolling)
{
    const QString usual = QApplication::style()->name();
    for (const QString &style : {QStringLiteral("Windows"), QStringLiteral("Fusion")}) {
        SCOPED_TRACE(style.toStdString());
        QApplication::setStyle(style);
        openWindow();
        auto *grid = control<QTableWidget>(QStringLiteral("StringGrid1"));
        EXPECT_EQ(grid->geometry(), QRect(4, 48, 154, 98));
        EXPECT_EQ(grid->verticalScrollBar()->maximum(), 0);
        for (int row = 0; row < grid->rowCount(); ++row) {
            for (int column = 0; column < grid->columnCount(); ++column) {
                const QRect cell = grid->visualRect(grid->model()->index(row, column));
                EXPECT_TRUE(grid->viewport()->rect().contains(cell)) << row << "," << column;
            }
            EXPECT_GE(grid->rowHeight(row), grid->fontMetrics().height());
        }
    }
    QApplication::setStyle(usual);
}

} // namespace
