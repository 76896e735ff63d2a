// The seventeen device information buttons: the request each one sends, what
// its display shows after a reply, and after a silent device or a bad
// checksum.
#include "DisplayFormat.h"
#include "WindowFixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

const QString kWarning = QStringLiteral(
    "Are you sure to want to change the address? This operation can make your validator unusable.");

class DeviceInfoTest : public WindowTest
{
protected:
    void SetUp() override { openConnected(); }

    bool visible(const QString &name) { return !control<QWidget>(name)->isHidden(); }
};

struct QueryCase {
    const char *button;
    std::vector<uint8_t> headers; // requests sent to the current address (0)
    const char *display;
    const char *shown;            // after the virtual validator's answer
    const char *shownOnFailure;   // after a silent device or a bad checksum
    bool visibleOnFailure;
};

const QueryCase kQueries[] = {
    {"BitBtn9", {249}, "StaticText2", "200", "###", false},
    {"BitBtn10", {248}, "Label4", "Ok", "", true},
    {"BitBtn20", {4}, "StaticText10", "Level 1 - 4.6", "", true},
    {"BitBtn11", {246}, "StaticText3", "Virtual Validators", "", true},
    {"BitBtn12", {245}, "StaticText4", "Coin Acceptor", "", true},
    {"BitBtn13", {244}, "StaticText5", "CV-16", "", true},
    {"BitBtn14", {243}, "StaticText6", "3", "0", true},
    {"BitBtn16", {241}, "StaticText7", "V1.04", "", true},
    {"Button42", {196, 170}, "Label6", "15/03/2019", "", true},
    {"Button43", {195, 170}, "Label22", "02/06/2024", "", true},
    {"Button44", {192}, "StaticText8", "STD01", "", true},
    {"BitBtn3", {169}, "StaticText9", " - EEPROM - SERIAL & NON VOLATILE", "###", true},
};

std::vector<uint8_t> framesTo(uint8_t address, const std::vector<uint8_t> &headers)
{
    std::vector<uint8_t> bytes;
    for (uint8_t header : headers) {
        const std::vector<uint8_t> frame = requestFrame(address, header);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    return bytes;
}

TEST_F(DeviceInfoTest, EachQueryShowsTheAnswer)
{
    for (const QueryCase &c : kQueries) {
        SCOPED_TRACE(c.button);
        m_sim.clearRecords();
        timer().setOn(true);
        click(QString::fromLatin1(c.button));
        EXPECT_THAT(hostBytes(), ElementsAreArray(framesTo(0, c.headers)));
        EXPECT_EQ(text(QString::fromLatin1(c.display)), QString::fromLatin1(c.shown));
        EXPECT_TRUE(visible(QString::fromLatin1(c.display)));
        EXPECT_TRUE(timer().isOn()) << "resumed";
    }
    EXPECT_TRUE(m_platform.messages.isEmpty());
    EXPECT_TRUE(m_platform.errors.isEmpty());
    EXPECT_EQ(m_form->currentAddress(), 0);
}

TEST_F(DeviceInfoTest, EachQueryAfterAFailedExchangeShowsTheFailure)
{
    for (const ccsim::Fault fault : {ccsim::Fault::Silence, ccsim::Fault::WrongChecksum}) {
        SCOPED_TRACE(ccsim::faultName(fault));
        m_sim.device().setFault(fault);
        for (const QueryCase &c : kQueries) {
            SCOPED_TRACE(c.button);
            timer().setOn(true);
            click(QString::fromLatin1(c.button));
            EXPECT_EQ(text(QString::fromLatin1(c.display)), QString::fromLatin1(c.shownOnFailure));
            EXPECT_EQ(visible(QString::fromLatin1(c.display)), c.visibleOnFailure);
            EXPECT_TRUE(timer().isOn()) << "resumed";
        }
    }
    EXPECT_TRUE(m_platform.messages.isEmpty());
    EXPECT_TRUE(m_platform.errors.isEmpty());
}

TEST_F(DeviceInfoTest, FailedQueriesLeaveEarlierAnswersWhereTheyKeepTheirDisplay)
{
    for (const char *button : {"BitBtn9", "BitBtn10", "BitBtn20", "Button42", "Button43", "BitBtn3"})
        click(QString::fromLatin1(button));
    m_sim.device().setFault(ccsim::Fault::Silence);
    for (const char *button : {"BitBtn9", "BitBtn10", "BitBtn20", "Button42", "Button43", "BitBtn3"})
        click(QString::fromLatin1(button));
    EXPECT_EQ(text(QStringLiteral("StaticText2")), QStringLiteral("200"));
    EXPECT_EQ(text(QStringLiteral("Label3")), QStringLiteral("ms"));
    EXPECT_EQ(text(QStringLiteral("Label4")), QStringLiteral("Ok"));
    EXPECT_EQ(text(QStringLiteral("StaticText10")), QStringLiteral("Level 1 - 4.6"));
    EXPECT_EQ(text(QStringLiteral("Label6")), QStringLiteral("15/03/2019"));
    EXPECT_EQ(text(QStringLiteral("Label22")), QStringLiteral("02/06/2024"));
    EXPECT_EQ(text(QStringLiteral("StaticText9")), QStringLiteral(" - EEPROM - SERIAL & NON VOLATILE"));
}

TEST_F(DeviceInfoTest, SimplePoolShowsTheAnsweringAddressInGreenAndAdoptsIt)
{
    m_sim.device().config().address = 9;
    click(QStringLiteral("BitBtn5"));
    EXPECT_THAT(hostBytes(), ElementsAreArray(requestFrame(0, 254)));
    EXPECT_EQ(text(QStringLiteral("Label1")), QStringLiteral("  9"));
    EXPECT_EQ(textColour(control<QWidget>(QStringLiteral("Label1"))), QColor(0, 128, 0));
    EXPECT_EQ(m_form->currentAddress(), 9);
    // Later commands go to address 9.
    m_sim.clearRecords();
    click(QStringLiteral("BitBtn10"));
    EXPECT_THAT(hostBytes(), ElementsAreArray(requestFrame(9, 248)));

    m_sim.device(9).setFault(ccsim::Fault::Silence);
    click(QStringLiteral("BitBtn5"));
    EXPECT_EQ(text(QStringLiteral("Label1")), QStringLiteral("Bad"));
    EXPECT_EQ(textColour(control<QWidget>(QStringLiteral("Label1"))), QColor(255, 0, 0));
    EXPECT_EQ(m_form->currentAddress(), 9);
}

TEST_F(DeviceInfoTest, GetAdresseAdoptsTheAnswerAndWaitsOneSecond)
{
    timer().setOn(true);
    // Both waits run with the poll paused: the focus wait after the timer
    // is off, the one-second wait before the resume step.
    std::vector<bool> timerOnDuringWaits;
    m_platform.onSleep = [&](int) { timerOnDuringWaits.push_back(timer().isOn()); };
    click(QStringLiteral("BitBtn6"));
    m_platform.onSleep = nullptr;
    EXPECT_THAT(hostBytes(), ElementsAreArray(requestFrame(0, 253)));
    EXPECT_EQ(text(QStringLiteral("Label2")), QStringLiteral("2"));
    EXPECT_EQ(m_form->currentAddress(), 2);
    EXPECT_THAT(m_platform.sleeps, ElementsAre(200, 1000));
    EXPECT_THAT(timerOnDuringWaits, ElementsAre(false, false));
    EXPECT_TRUE(timer().isOn());

    m_sim.device().setFault(ccsim::Fault::Silence);
    click(QStringLiteral("BitBtn5")); // moves the focus away and back
    click(QStringLiteral("BitBtn6"));
    EXPECT_EQ(text(QStringLiteral("Label2")), QStringLiteral("0"));
    EXPECT_EQ(m_form->currentAddress(), 0);
}

TEST_F(DeviceInfoTest, SetAdresseConfirmsThenSendsTheLowByteToAddressZero)
{
    click(QStringLiteral("BitBtn5")); // current address 2
    m_sim.clearRecords();
    setTextOf(QStringLiteral("Edit2"), QStringLiteral("300"));
    click(QStringLiteral("BitBtn7"));
    EXPECT_EQ(m_platform.confirmations, QStringList{kWarning});
    EXPECT_THAT(hostBytes(), ElementsAreArray(requestFrame(0, 251, {44})));
    EXPECT_EQ(text(QStringLiteral("Label2")), QStringLiteral("44"));
    EXPECT_EQ(text(QStringLiteral("Label1")), QStringLiteral("44"));
    EXPECT_EQ(textColour(control<QWidget>(QStringLiteral("Label1"))), QColor(0, 128, 0))
        << "the colour that SimplePool gave it stays";
    EXPECT_EQ(text(QStringLiteral("Edit2")), QStringLiteral("300"));
    EXPECT_EQ(m_form->currentAddress(), 44);
    EXPECT_EQ(m_sim.device(44).address(), 44);
}

TEST_F(DeviceInfoTest, SetAdresseFailureShowsNothing)
{
    m_sim.device().setFault(ccsim::Fault::Silence);
    setTextOf(QStringLiteral("Label1"), QStringLiteral("x"));
    setTextOf(QStringLiteral("Edit2"), QStringLiteral("5"));
    click(QStringLiteral("BitBtn7"));
    EXPECT_FALSE(hostBytes().empty());
    EXPECT_EQ(text(QStringLiteral("Label1")), QStringLiteral("x"));
    EXPECT_EQ(text(QStringLiteral("Label2")), QString());
    EXPECT_EQ(m_form->currentAddress(), 0);
    EXPECT_TRUE(m_platform.messages.isEmpty());
}

TEST_F(DeviceInfoTest, AddressChangesAnsweredNoSendNothingAndResume)
{
    for (const char *button : {"BitBtn7", "BitBtn8"}) {
        SCOPED_TRACE(button);
        forget();
        m_platform.answers = {false};
        timer().setOn(true);
        click(QString::fromLatin1(button));
        EXPECT_EQ(m_platform.confirmations, QStringList{kWarning});
        EXPECT_TRUE(hostBytes().empty());
        EXPECT_TRUE(timer().isOn());
        EXPECT_TRUE(m_platform.errors.isEmpty());
    }
}

TEST_F(DeviceInfoTest, SetAdresseWithAFieldThatIsNotANumberFailsAfterTheConfirmation)
{
    setTextOf(QStringLiteral("Edit2"), QStringLiteral("12a"));
    timer().setOn(true);
    click(QStringLiteral("BitBtn7"));
    EXPECT_EQ(m_platform.confirmations.size(), 1);
    EXPECT_EQ(m_platform.errors,
              QStringList{QString::fromUtf8("'12a' n'est pas une valeur enti\xC3\xA8re correcte.")});
    EXPECT_TRUE(hostBytes().empty());
    EXPECT_FALSE(timer().isOn()) << "the error skips the resume step";
}

TEST_F(DeviceInfoTest, RandAdressShowsAndAdoptsTheNewAddress)
{
    click(QStringLiteral("BitBtn8"));
    EXPECT_EQ(m_platform.confirmations, QStringList{kWarning});
    EXPECT_THAT(hostBytes(), ElementsAreArray(requestFrame(0, 250)));
    const uint8_t address = m_form->currentAddress();
    ASSERT_NE(address, 0);
    EXPECT_EQ(m_sim.device(address).address(), address);
    EXPECT_EQ(text(QStringLiteral("Edit2")), QString::asprintf("%03u", address));
    EXPECT_EQ(text(QStringLiteral("Label2")), QString::number(address));
    EXPECT_EQ(text(QStringLiteral("Label1")), QString::number(address));
}

TEST_F(DeviceInfoTest, ResetAdoptsTheAcknowledgingAddress)
{
    timer().setOn(true);
    click(QStringLiteral("BitBtn15"));
    EXPECT_THAT(hostBytes(), ElementsAreArray(requestFrame(0, 1)));
    EXPECT_TRUE(m_platform.confirmations.isEmpty());
    EXPECT_EQ(text(QStringLiteral("Label1")), QStringLiteral("2"));
    EXPECT_EQ(text(QStringLiteral("Label2")), QStringLiteral("2"));
    EXPECT_EQ(text(QStringLiteral("Edit2")), QStringLiteral("002"));
    EXPECT_EQ(m_form->currentAddress(), 2);
    EXPECT_EQ(m_sim.device().resets(), 1u);
    EXPECT_TRUE(timer().isOn());
}

TEST_F(DeviceInfoTest, ResetFailureShowsTheMessageAndResumes)
{
    m_sim.device().setFault(ccsim::Fault::WrongChecksum);
    timer().setOn(true);
    click(QStringLiteral("BitBtn15"));
    EXPECT_EQ(m_platform.messages, QStringList{QStringLiteral("Echec de reset")});
    EXPECT_TRUE(timer().isOn());
    EXPECT_EQ(text(QStringLiteral("Edit2")), QStringLiteral("000"));
}

TEST_F(DeviceInfoTest, PollingUnitsTable)
{
    struct Case {
        uint8_t units;
        uint8_t value;
        const char *valueText;
        const char *unitText;
    };
    const Case cases[] = {
        {0, 0, "See Product Maual", ""}, {0, 255, "Hardware", ""}, {0, 7, "7", ""},
        {1, 5, "5", "ms"},               {2, 5, "50", "ms"},       {2, 255, "2550", "ms"},
        {3, 4, "4", "Seconds"},          {4, 4, "4", "Minutes"},   {5, 4, "4", "Hours"},
        {6, 4, "4", "Days"},             {7, 4, "4", "Weeks"},     {8, 4, "4", "Months"},
        {9, 4, "4", "Years"},            {10, 9, "9", ""},         {255, 1, "1", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.units) << " " << int(c.value));
        m_sim.device().config().pollingUnits = c.units;
        m_sim.device().config().pollingValue = c.value;
        click(QStringLiteral("BitBtn9"));
        EXPECT_EQ(text(QStringLiteral("StaticText2")), QString::fromLatin1(c.valueText));
        EXPECT_EQ(text(QStringLiteral("Label3")), QString::fromLatin1(c.unitText));
        const QWidget *value = control<QWidget>(QStringLiteral("StaticText2"));
        EXPECT_EQ(control<QWidget>(QStringLiteral("Label3"))->x(), value->x() + value->width() + 8);
    }
}

TEST_F(DeviceInfoTest, StatusTexts)
{
    const std::pair<uint8_t, const char *> cases[] = {
        {1, "Coin return mech. actived"}, {2, "C.O.S. mech. actived"}, {3, "C.O.S. mech. actived"},
        {0, "Ok"}, {200, "Ok"},
    };
    for (const auto &[status, shown] : cases) {
        SCOPED_TRACE(int(status));
        m_sim.device().config().status = status;
        click(QStringLiteral("BitBtn10"));
        EXPECT_EQ(text(QStringLiteral("Label4")), QString::fromLatin1(shown));
    }
}

TEST_F(DeviceInfoTest, AddressModeNamesTheBitsInOrder)
{
    m_sim.device().config().addressMode = 0;
    click(QStringLiteral("BitBtn3"));
    EXPECT_EQ(text(QStringLiteral("StaticText9")), QStringLiteral("###"));
    EXPECT_TRUE(visible(QStringLiteral("StaticText9")));
    m_sim.device().config().addressMode = 5;
    click(QStringLiteral("BitBtn3"));
    EXPECT_EQ(text(QStringLiteral("StaticText9")), QStringLiteral(" - ROM - EEPROM"));
    m_sim.device().config().addressMode = 0xFF;
    click(QStringLiteral("BitBtn3"));
    EXPECT_EQ(text(QStringLiteral("StaticText9")),
              QStringLiteral(" - ROM - RAM - EEPROM - CONNECTOR - LINKS - SWITCH - SERIAL & VOLATILE"
                             " - SERIAL & NON VOLATILE"));
}

TEST_F(DeviceInfoTest, DeviceTextIsReadAsLatin1)
{
    m_sim.device().config().manufacturer = "Caf\xE9 \xC9lectronique";
    click(QStringLiteral("BitBtn11"));
    EXPECT_EQ(text(QStringLiteral("StaticText3")), QString::fromUtf8("Caf\xC3\xA9 \xC3\x89lectronique"));
}

TEST_F(DeviceInfoTest, ImpossibleDatesRaiseTheDateError)
{
    m_sim.device().config().modificationDate = ccsim::dateCode(2024, 13, 2, 2000);
    m_sim.device().config().creationDate = ccsim::dateCode(2023, 2, 29, 2000);
    timer().setOn(true);
    click(QStringLiteral("Button43"));
    click(QStringLiteral("Button42"));
    EXPECT_EQ(m_platform.errors,
              QStringList({QStringLiteral("Argument incorrect pour l'encodage de date."),
                           QStringLiteral("Argument incorrect pour l'encodage de date.")}));
    EXPECT_EQ(text(QStringLiteral("Label22")), QString());
    EXPECT_EQ(text(QStringLiteral("Label6")), QString());
    EXPECT_FALSE(timer().isOn());
}

TEST_F(DeviceInfoTest, BaseYearThatIsNotANumberRaisesTheConversionError)
{
    m_sim.device().config().baseYear = "20x0";
    click(QStringLiteral("Button42"));
    EXPECT_EQ(m_platform.errors,
              QStringList{QString::fromUtf8("'20x0' n'est pas une valeur enti\xC3\xA8re correcte.")});
    EXPECT_EQ(text(QStringLiteral("Label6")), QString());
}

TEST_F(DeviceInfoTest, DatesFollowTheShortDateFormatReadAtStart)
{
    m_platform.dateFormat = QStringLiteral("yyyy-MM-dd");
    click(QStringLiteral("Button42"));
    EXPECT_EQ(text(QStringLiteral("Label6")), QStringLiteral("15/03/2019"))
        << "the format was read when the window was created";
}

} // namespace
