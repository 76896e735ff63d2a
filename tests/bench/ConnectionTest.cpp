// Start-up, the port list, the connection step, "Close", the serial number
// and the address field.
#include <QComboBox>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>

#include "PontelDeclar.h"
#include "SystemPlatform.h"
#include "WindowFixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

const std::array<int32_t, 9> kLineSettings{9600, 8, 0, 1, 200, 200, 3000, 0, 0};

class ConnectionTest : public WindowTest
{
protected:
    QComboBox *portBox() { return control<QComboBox>(QStringLiteral("ComboBox1")); }
};

TEST_F(ConnectionTest, StartListsTheFreePortsAndOpensNothing)
{
    m_sim.setFreePorts({3, 5});
    openWindow();
    EXPECT_THAT(m_port.freeQueries, ElementsAre(1, 2, 3, 4, 5, 6, 7, 8, 9));
    ASSERT_EQ(portBox()->count(), 2);
    EXPECT_EQ(portBox()->itemText(0), QStringLiteral("Com3"));
    EXPECT_EQ(portBox()->itemText(1), QStringLiteral("Com5"));
    EXPECT_EQ(portBox()->currentText(), QStringLiteral("Com3"));
    EXPECT_TRUE(m_port.openings.empty());
    EXPECT_TRUE(hostBytes().empty());
    EXPECT_EQ(m_form->portHandle(), 0);
    EXPECT_EQ(m_form->currentAddress(), 0);
    EXPECT_FALSE(timer().isOn());
    EXPECT_EQ(timer().interval(), 500);
    EXPECT_TRUE(m_platform.messages.isEmpty());
}

TEST_F(ConnectionTest, WithoutFreePortsTheBoxIsEmptyAndInitFails)
{
    m_sim.setFreePorts({});
    openWindow();
    EXPECT_EQ(portBox()->count(), 0);
    EXPECT_EQ(portBox()->currentText(), QString());
    click(QStringLiteral("Button41"));
    EXPECT_EQ(m_platform.messages, QStringList{QStringLiteral("Echec d'initialisation")});
    EXPECT_TRUE(m_port.openings.empty());
    EXPECT_EQ(m_form->portHandle(), -1);
    EXPECT_EQ(text(QStringLiteral("StaticText1")), QStringLiteral("0"));
}

// A port that is there but refused is listed with its reason, and "Init"
// on it says why after the specified text; a port that is not there is not
// listed.
TEST_F(ConnectionTest, ARefusedPortIsListedWithItsReasonAndInitSaysIt)
{
    const std::string denied = "permission denied on /dev/ttyUSB0: add your user to the group dialout and log in again";
    m_sim.setFreePorts({5});
    m_sim.setRefusedPort(2, PONTEL_OPEN_NOT_PERMITTED, denied);
    m_sim.setRefusedPort(3, PONTEL_OPEN_NO_DEVICE, "no such device: /dev/ttyUSB1");
    openWindow();
    ASSERT_EQ(portBox()->count(), 2);
    EXPECT_EQ(portBox()->itemText(0), QStringLiteral("Com2"));
    EXPECT_EQ(portBox()->itemData(0, Qt::ToolTipRole).toString().toStdString(), denied);
    EXPECT_EQ(portBox()->itemText(1), QStringLiteral("Com5"));
    EXPECT_FALSE(portBox()->itemData(1, Qt::ToolTipRole).isValid());
    click(QStringLiteral("Button41"));
    EXPECT_EQ(m_platform.messages, QStringList{QStringLiteral("Echec d'initialisation\n") + QString::fromStdString(denied)});
}

TEST_F(ConnectionTest, InitOpensThePortWithTheLineSettingsAndReadsTheSerialNumber)
{
    openWindow();
    click(QStringLiteral("Button41"));
    ASSERT_EQ(m_port.openings.size(), 1u);
    EXPECT_EQ(m_port.openings[0].port, 1);
    EXPECT_EQ(m_port.openings[0].settings, kLineSettings);
    EXPECT_NE(m_form->portHandle(), -1);
    EXPECT_NE(m_form->portHandle(), 0);
    EXPECT_EQ(m_form->connectedPortName(), QStringLiteral("COM1"));
    EXPECT_THAT(hostBytes(), ElementsAreArray(requestFrame(0, 242)));
    EXPECT_EQ(text(QStringLiteral("StaticText1")), QStringLiteral("1234567"));
    EXPECT_TRUE(m_platform.messages.isEmpty());
    EXPECT_FALSE(timer().isOn());
    // A second step opens anew without closing first.
    click(QStringLiteral("Button41"));
    EXPECT_EQ(m_port.openings.size(), 2u);
    EXPECT_TRUE(m_port.closings.empty());
}

TEST_F(ConnectionTest, ChoosingAnotherPortInTheListConnectsAtOnce)
{
    m_sim.setFreePorts({3, 5});
    openWindow();
    portBox()->setCurrentIndex(1);
    ASSERT_EQ(m_port.openings.size(), 1u);
    EXPECT_EQ(m_port.openings[0].port, 5);
    EXPECT_EQ(m_port.openings[0].settings, kLineSettings);
    EXPECT_EQ(m_form->connectedPortName(), QStringLiteral("COM5"));
    EXPECT_EQ(text(QStringLiteral("StaticText1")), QStringLiteral("1234567"));
    EXPECT_FALSE(timer().isOn());
}

TEST_F(ConnectionTest, PortBoxTextsDecideThePort)
{
    struct Case {
        const char *text;
        int openedPort; // 0: ComInit not called
        bool failureMessage;
    };
    const Case cases[] = {
        {"C", 0, true},       // typing a C connects at once and fails
        {"COM3", 0, true},    // capitals are refused
        {"Com12", 1, false},  // only the fourth character counts
        {"Com1 x", 1, false},
        {"Com7", 7, true},    // port 7 is not free: ComInit fails
    };
    openWindow();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        m_port.openings.clear();
        m_platform.clear();
        portBox()->setEditText(QString::fromLatin1(c.text));
        if (c.openedPort) {
            ASSERT_EQ(m_port.openings.size(), 1u);
            EXPECT_EQ(m_port.openings[0].port, c.openedPort);
        } else {
            EXPECT_TRUE(m_port.openings.empty());
        }
        EXPECT_EQ(m_platform.messages.size(), c.failureMessage ? 1 : 0);
        if (c.failureMessage) {
            EXPECT_EQ(m_platform.messages.value(0), QStringLiteral("Echec d'initialisation"));
            EXPECT_EQ(m_form->portHandle(), -1);
        }
        EXPECT_TRUE(m_platform.errors.isEmpty());
    }
}

TEST_F(ConnectionTest, TypingIntoThePortBoxConnectsOnTheTypedText)
{
    m_sim.setFreePorts({3, 5});
    openWindow();
    portBox()->setFocus(Qt::MouseFocusReason);
    portBox()->lineEdit()->selectAll();
    QTest::keyClick(portBox(), 'C');
    EXPECT_EQ(portBox()->currentText(), QStringLiteral("C"));
    EXPECT_EQ(m_platform.messages, QStringList{QStringLiteral("Echec d'initialisation")});
    EXPECT_TRUE(m_port.openings.empty());
    EXPECT_EQ(m_form->portHandle(), -1);

    // Every keystroke runs the step on the text so far; Enter adds nothing.
    m_platform.clear();
    QTest::keyClicks(portBox(), QStringLiteral("om5"));
    QTest::keyClick(portBox(), Qt::Key_Return);
    EXPECT_EQ(portBox()->currentText(), QStringLiteral("Com5"));
    EXPECT_EQ(m_platform.messages, QStringList{QStringLiteral("Echec d'initialisation")});
    EXPECT_EQ(m_platform.errors,
              QStringList{QString::fromUtf8("'' n'est pas une valeur enti\xC3\xA8re correcte.")});
    ASSERT_EQ(m_port.openings.size(), 1u);
    EXPECT_EQ(m_port.openings[0].port, 5);
    // Every box of the typing stood aside, and the connection on "Com5"
    // withdrew the last one.
    EXPECT_EQ(m_platform.aside, m_platform.messages + m_platform.errors);
    EXPECT_TRUE(m_platform.asideUp.isEmpty());

    // "Init" is a click, not typing: its box waits for OK in front.
    m_sim.setFreePorts({});
    m_platform.clear();
    click(QStringLiteral("Button41"));
    EXPECT_EQ(m_platform.messages, QStringList{QStringLiteral("Echec d'initialisation")});
    EXPECT_TRUE(m_platform.aside.isEmpty());
}

// The real boxes: typing "Com1" key by key into the port box, as the user
// does, the boxes of "C", "Co" and "Com" show up without taking the keys.
TEST(PortBoxTypingTest, TheBoxesOfTheTypingDoNotTakeTheKeys)
{
    SimPort sim;
    ScopedPortBackend installed(sim);
    SystemPlatform platform;
    TMainForm form(platform);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto *portBox = form.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    portBox->setFocus(Qt::MouseFocusReason);
    portBox->lineEdit()->selectAll();
    // A box that waits for OK would hold the keys: note it and close it.
    bool modalSeen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modalSeen = true;
            modal->close();
        }
    });
    watch.start(5);
    auto boxesShown = [&form] {
        QStringList texts;
        for (QMessageBox *box : form.findChildren<QMessageBox *>())
            if (box->isVisible())
                texts << box->text();
        return texts;
    };

    for (QChar key : QStringLiteral("Com1")) {
        SCOPED_TRACE(key.toLatin1());
        ASSERT_EQ(QApplication::focusWidget(), portBox);
        QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
        QCoreApplication::processEvents();
        if (key == QLatin1Char('C') || key == QLatin1Char('o')) {
            EXPECT_EQ(boxesShown(), QStringList{QStringLiteral("Echec d'initialisation")});
        }
    }
    EXPECT_FALSE(modalSeen);
    EXPECT_EQ(portBox->currentText(), QStringLiteral("Com1"));
    EXPECT_GT(form.portHandle(), 0);
    EXPECT_EQ(form.findChild<QLabel *>(QStringLiteral("StaticText1"))->text(), QStringLiteral("1234567"));
    EXPECT_TRUE(boxesShown().isEmpty());
}

TEST_F(ConnectionTest, AFailedConnectionTurnsTheTimerOffAndKeepsTheFlag)
{
    openConnected();
    timer().setOn(true);
    click(QStringLiteral("BitBtn10")); // the flag now holds true
    ASSERT_TRUE(timer().isOn());
    m_platform.clear();
    portBox()->setEditText(QStringLiteral("COM3"));
    EXPECT_EQ(m_platform.messages, QStringList{QStringLiteral("Echec d'initialisation")});
    EXPECT_FALSE(timer().isOn());
    EXPECT_TRUE(m_form->pollRunning());
    EXPECT_EQ(m_form->connectedPortName(), QStringLiteral("COM1"));
}

TEST_F(ConnectionTest, PortBoxTextWithoutADigitRaisesTheConversionError)
{
    openConnected();
    timer().setOn(true);
    portBox()->setEditText(QStringLiteral("Com"));
    EXPECT_EQ(m_platform.errors,
              QStringList{QString::fromUtf8("'' n'est pas une valeur enti\xC3\xA8re correcte.")});
    portBox()->setEditText(QStringLiteral("Comx"));
    EXPECT_EQ(m_platform.errors.value(1),
              QString::fromUtf8("'x' n'est pas une valeur enti\xC3\xA8re correcte."));
    EXPECT_TRUE(m_platform.messages.isEmpty());
    EXPECT_EQ(m_form->portHandle(), -1);
    EXPECT_TRUE(m_port.openings.size() == 1u);
    // The step ended at the error: the timer was not turned off.
    EXPECT_TRUE(timer().isOn());
    // The connected port name keeps its value.
    EXPECT_EQ(m_form->connectedPortName(), QStringLiteral("COM1"));
}

TEST_F(ConnectionTest, SerialNumberShowsTheResultUntested)
{
    openConnected();
    m_sim.device().config().serialNumber = 513; // data bytes 1, 2, 0
    click(QStringLiteral("BitBtn2"));
    EXPECT_THAT(hostBytes(), ElementsAreArray(requestFrame(0, 242)));
    EXPECT_EQ(text(QStringLiteral("StaticText1")), QStringLiteral("513"));

    for (const ccsim::Fault fault : {ccsim::Fault::Silence, ccsim::Fault::WrongChecksum}) {
        SCOPED_TRACE(ccsim::faultName(fault));
        setTextOf(QStringLiteral("StaticText1"), QStringLiteral("0"));
        m_sim.device().setFault(fault);
        click(QStringLiteral("BitBtn2"));
        EXPECT_EQ(text(QStringLiteral("StaticText1")), QStringLiteral("4294967295"));
    }
    EXPECT_TRUE(m_platform.messages.isEmpty());
}

TEST_F(ConnectionTest, SerialNumberWithoutAnOpenPortShowsTheFailureValue)
{
    openWindow();
    click(QStringLiteral("BitBtn2"));
    EXPECT_TRUE(hostBytes().empty());
    EXPECT_EQ(text(QStringLiteral("StaticText1")), QStringLiteral("4294967295"));
}

TEST_F(ConnectionTest, AddressFieldIsReformattedWhenItLosesTheFocus)
{
    struct Case {
        const char *typed;
        const char *shown;
    };
    const Case cases[] = {
        {"5", "005"}, {"7", "007"}, {"255", "255"}, {"300", "300"}, {"1000", "1000"},
        {"-1", "4294967295"}, {"$1F", "031"},
    };
    openWindow();
    auto *field = control<QLineEdit>(QStringLiteral("Edit2"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        field->setFocus(Qt::MouseFocusReason);
        field->setText(QString::fromLatin1(c.typed));
        control<QWidget>(QStringLiteral("LabeledEdit1"))->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(field->text(), QString::fromLatin1(c.shown));
    }
    EXPECT_TRUE(m_platform.errors.isEmpty());

    field->setFocus(Qt::MouseFocusReason);
    field->setText(QStringLiteral("abc"));
    control<QWidget>(QStringLiteral("LabeledEdit1"))->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(m_platform.errors,
              QStringList{QString::fromUtf8("'abc' n'est pas une valeur enti\xC3\xA8re correcte.")});
    EXPECT_EQ(field->text(), QStringLiteral("abc"));
}

TEST_F(ConnectionTest, CloseClosesThePortAndTheWindow)
{
    openConnected();
    const PortHandle handle = m_form->portHandle();
    click(QStringLiteral("BitBtn4"));
    EXPECT_THAT(m_port.closings, ElementsAre(handle));
    EXPECT_FALSE(m_form->isVisible());
}

TEST_F(ConnectionTest, CloseWithoutAConnectionStillCallsTheSerialLayer)
{
    openWindow();
    click(QStringLiteral("BitBtn4"));
    EXPECT_THAT(m_port.closings, ElementsAre(0));
    EXPECT_FALSE(m_form->isVisible());
}

TEST_F(ConnectionTest, TheEventGridHasItsTitles)
{
    openWindow();
    auto *grid = control<QTableWidget>(QStringLiteral("StringGrid1"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->item(0, 0)->text(), QString());
    EXPECT_EQ(grid->item(0, 1)->text(), QStringLiteral("Canali"));
    EXPECT_EQ(grid->item(0, 2)->text(), QStringLiteral("Separ."));
}

} // namespace
