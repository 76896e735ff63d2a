// The device information buttons of page "Group 1": identity, addressing,
// status, versions, dates and address mode.
#include "First.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <iterator>

#include "BenchPlatform.h"
#include "DateText.h"
#include "DisplayFormat.h"
#include "IntegerText.h"
#include "ui_First.h"

namespace {

const char kAddressWarning[] =
    "Are you sure to want to change the address? This operation can make your validator unusable.";

// Polling interval units by code; codes above 9 have none.
const char *const kPollingUnits[] = {
    "", "ms", "ms", "Seconds", "Minutes", "Hours", "Days", "Weeks", "Months", "Years",
};

// Address mode bits 0 to 7.
const char *const kAddressModeNames[] = {
    "ROM", "RAM", "EEPROM", "CONNECTOR", "LINKS", "SWITCH", "SERIAL & VOLATILE",
    "SERIAL & NON VOLATILE",
};

QString statusText(uint8_t status)
{
    switch (status) {
    case 0:
        return QStringLiteral("Ok");
    case 1:
        return QStringLiteral("Coin return mech. actived");
    case 2:
        return QStringLiteral("C.O.S. mech. actived");
    default:
        return {};
    }
}

} // namespace

void TMainForm::wireDeviceInformationHandlers()
{
    onClick(ui->BitBtn15, &TMainForm::BitBtn15Click);
    onClick(ui->BitBtn5, &TMainForm::BitBtn5Click);
    onClick(ui->BitBtn6, &TMainForm::BitBtn6Click);
    onClick(ui->BitBtn7, &TMainForm::BitBtn7Click);
    onClick(ui->BitBtn8, &TMainForm::BitBtn8Click);
    onClick(ui->BitBtn9, &TMainForm::BitBtn9Click);
    onClick(ui->BitBtn10, &TMainForm::BitBtn10Click);
    onClick(ui->BitBtn20, &TMainForm::BitBtn20Click);
    onClick(ui->BitBtn11, &TMainForm::BitBtn11Click);
    onClick(ui->BitBtn12, &TMainForm::BitBtn12Click);
    onClick(ui->BitBtn13, &TMainForm::BitBtn13Click);
    onClick(ui->BitBtn14, &TMainForm::BitBtn14Click);
    onClick(ui->BitBtn16, &TMainForm::BitBtn16Click);
    onClick(ui->Button42, &TMainForm::Button42Click);
    onClick(ui->Button43, &TMainForm::Button43Click);
    onClick(ui->Button44, &TMainForm::Button44Click);
    onClick(ui->BitBtn3, &TMainForm::BitBtnaClick);
}

// "Reset"
void TMainForm::BitBtn15Click()
{
    if (CCReSet(&m_portHandle, &m_currentAddress)) {
        setDisplayText(ui->Label1, formatU(m_currentAddress));
        setDisplayText(ui->Label2, ui->Label1->text());
        ui->Edit2->setText(format3_3u(m_currentAddress));
    } else {
        m_platform.showMessage(this, QStringLiteral("Echec de reset"));
    }
    resumePoll();
}

// "SimplePool"
void TMainForm::BitBtn5Click()
{
    if (CCGet_Simple_Poll(&m_portHandle, &m_currentAddress)) {
        setTextColour(ui->Label1, kSuccessGreen);
        setDisplayText(ui->Label1, format3u(m_currentAddress));
    } else {
        setTextColour(ui->Label1, kFailureRed);
        setDisplayText(ui->Label1, QStringLiteral("Bad"));
    }
    resumePoll();
}

// "GetAdresse"
void TMainForm::BitBtn6Click()
{
    m_currentAddress = CCGet_Adress(&m_portHandle);
    setDisplayText(ui->Label2, formatU(m_currentAddress));
    m_platform.sleepMs(1000);
    resumePoll();
}

// "SetAdresse"
void TMainForm::BitBtn7Click()
{
    if (m_platform.confirm(this, QString::fromLatin1(kAddressWarning))) {
        const int32_t newAddress = readInteger(ui->Edit2->text().toStdString());
        // The request goes to address 0, whatever the current address.
        if (CCSet_Adress(&m_portHandle, 0, static_cast<uint8_t>(newAddress))) {
            m_currentAddress = static_cast<uint8_t>(readInteger(ui->Edit2->text().toStdString()));
            setDisplayText(ui->Label2, formatU(m_currentAddress));
            setDisplayText(ui->Label1, ui->Label2->text());
        }
    }
    resumePoll();
}

// "RandAdress"
void TMainForm::BitBtn8Click()
{
    if (m_platform.confirm(this, QString::fromLatin1(kAddressWarning))) {
        if (CCSet_Rand_Adress(&m_portHandle, &m_currentAddress)) {
            ui->Edit2->setText(format3_3u(m_currentAddress));
            setDisplayText(ui->Label2, formatU(m_currentAddress));
            setDisplayText(ui->Label1, ui->Label2->text());
        }
    }
    resumePoll();
}

// "Polling"
void TMainForm::BitBtn9Click()
{
    uint8_t units = 0;
    uint8_t value = 0;
    if (CCGet_Polling(&m_portHandle, m_currentAddress, &units, &value)) {
        QString valueText = formatU(value);
        QString unitText;
        if (units == 0) {
            if (value == 0)
                valueText = QStringLiteral("See Product Maual");
            else if (value == 255)
                valueText = QStringLiteral("Hardware");
        } else if (units < std::size(kPollingUnits)) {
            unitText = QString::fromLatin1(kPollingUnits[units]);
            if (units == 2)
                valueText = formatU(value * 10u);
        }
        setDisplayText(ui->StaticText2, valueText);
        ui->StaticText2->setVisible(true);
        // The unit follows the value, 8 pixels to its right (moved first, so
        // that it is sized for the room it has there).
        ui->Label3->move(ui->StaticText2->x() + ui->StaticText2->width() + 8, ui->Label3->y());
        setDisplayText(ui->Label3, unitText);
    }
    resumePoll();
}

// "Status"
void TMainForm::BitBtn10Click()
{
    const QString text = statusText(CCGet_Status(&m_portHandle, m_currentAddress));
    if (!text.isEmpty())
        setDisplayText(ui->Label4, text);
    resumePoll();
}

// "cctalk Version"
void TMainForm::BitBtn20Click()
{
    uint8_t version[3] = {0, 0, 0};
    if (CCGet_cctalk_Version(&m_portHandle, m_currentAddress, version)) {
        setDisplayText(ui->StaticText10, QStringLiteral("Level %1 - %2.%3")
                                              .arg(version[0]).arg(version[1]).arg(version[2]));
    }
    ui->StaticText10->setVisible(true);
    resumePoll();
}

void TMainForm::showIdentityText(void (*query)(CountedString *, PortHandle *, uint8_t),
                                 QLabel *display)
{
    query(&m_text, &m_portHandle, m_currentAddress);
    setDisplayText(display, countedText(m_text));
    display->setVisible(true);
    resumePoll();
}

// "Manufacturer"
void TMainForm::BitBtn11Click()
{
    showIdentityText(CCGet_Manufacturer, ui->StaticText3);
}

// "Equipement"
void TMainForm::BitBtn12Click()
{
    showIdentityText(CCGet_Equipement, ui->StaticText4);
}

// "Product"
void TMainForm::BitBtn13Click()
{
    showIdentityText(CCGet_Product, ui->StaticText5);
}

// "DataBase"
void TMainForm::BitBtn14Click()
{
    setDisplayText(ui->StaticText6, formatU(CCGet_DB(&m_portHandle, m_currentAddress)));
    ui->StaticText6->setVisible(true);
    resumePoll();
}

// "SoftVersion"
void TMainForm::BitBtn16Click()
{
    showIdentityText(CCSoftVersion, ui->StaticText7);
}

void TMainForm::showDate(CCBool (*query)(PortHandle *, uint8_t, uint16_t *, uint16_t *, uint16_t *),
                         QLabel *display)
{
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t day = 0;
    if (query(&m_portHandle, m_currentAddress, &year, &month, &day))
        setDisplayText(display, dateText(year, month, day, m_shortDateFormat));
    resumePoll();
}

// "Creation"
void TMainForm::Button42Click()
{
    showDate(CCGet_Manufacturing_Date, ui->Label6);
}

// "Modification"
void TMainForm::Button43Click()
{
    showDate(CCGet_Modification_Date, ui->Label22);
}

// "Build code"
void TMainForm::Button44Click()
{
    showIdentityText(CCGet_BuildCode, ui->StaticText8);
}

// "Adresse mode"
void TMainForm::BitBtnaClick()
{
    const uint8_t mode = CCGet_Adress_Mode(&m_portHandle, m_currentAddress);
    if (mode != 0) {
        QString text;
        for (int bit = 0; bit < 8; ++bit) {
            if (mode & (1u << bit))
                text += QStringLiteral(" - ") + QString::fromLatin1(kAddressModeNames[bit]);
        }
        setDisplayText(ui->StaticText9, text);
    }
    ui->StaticText9->setVisible(true);
    resumePoll();
}
