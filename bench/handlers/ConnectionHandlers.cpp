// Start-up, port connection, closing, the pause on focus and the
// normalisation tool.
#include "First.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "BenchPlatform.h"
#include "DisplayFormat.h"
#include "IntegerText.h"
#include "PollTimer.h"
#include "PontelDeclar.h"
#include "ui_First.h"

namespace {

constexpr uint8_t kLastListedPort = 9;
const char kNormalisationTool[] = "Ombrino.exe";
const char kNormalisationWindow[] = "Ombrino";

// Serial line settings: 9600 baud, 8 data bits, no parity, 1 stop bit; read
// interval 200 ms, read total 200 ms per byte plus 3000 ms, no write limits.
constexpr int32_t kBaud = 9600;
constexpr int32_t kDataBits = 8;
constexpr int32_t kParity = 0;
constexpr int32_t kStopBits = 1;
constexpr int32_t kReadInterval = 200;
constexpr int32_t kReadTotalPerByte = 200;
constexpr int32_t kReadTotalConstant = 3000;
constexpr int32_t kWriteTotalPerByte = 0;
constexpr int32_t kWriteTotalConstant = 0;

// Why Pontel could not open port n the last time it tried, and what to do;
// empty when it does not know.
QString openFailureText(uint8_t n, int32_t *cause = nullptr)
{
    char text[512] = {};
    const int32_t found = PontelOpenFailure(n, text, sizeof text);
    if (cause)
        *cause = found;
    return QString::fromUtf8(text);
}

} // namespace

void TMainForm::wireConnectionHandlers()
{
    onClick(ui->Button41, &TMainForm::Button41Click);
    onClick(ui->BitBtn4, &TMainForm::BitBtn4Click);
    onClick(ui->BitBtn26, &TMainForm::BitBtn26Click);
    onClick(ui->BitBtn2, &TMainForm::BitBtn2Click);
    onExit(ui->Edit2, &TMainForm::Edit2Exit);
    // What the user types is the port box's text as typed: no inline
    // completion from the list (typing "C" must not become "Com3").
    ui->ComboBox1->setCompleter(nullptr);
    // Any change of the box's text, from the list or typed, connects. That
    // is at every keystroke: the step's boxes stand aside (the one the text
    // before raised is withdrawn), so that typing "Com1" goes on to the end
    // instead of the keys landing in a box.
    connect(ui->ComboBox1, &QComboBox::editTextChanged, this, [this] {
        m_platform.withdrawAsideBox();
        guarded([this] { ComboBox1Change(); }, Boxes::Aside);
    });
    connect(ui->PageControl1, &QTabWidget::currentChanged, this,
            [this] { guarded([this] { PageControl1Change(); }); });
}

void TMainForm::FormCreate()
{
    for (uint8_t n = 1; n <= kLastListedPort; ++n) {
        if (PortComFree(n)) {
            ui->ComboBox1->addItem(QStringLiteral("Com%1").arg(n));
            continue;
        }
        // A port that is there but refused (permission, held by another
        // program) is listed all the same, with the reason as its tooltip.
        int32_t cause = PONTEL_OPEN_OK;
        const QString why = openFailureText(n, &cause);
        if (cause == PONTEL_OPEN_NOT_PERMITTED || cause == PONTEL_OPEN_IN_USE) {
            ui->ComboBox1->addItem(QStringLiteral("Com%1").arg(n));
            ui->ComboBox1->setItemData(ui->ComboBox1->count() - 1, why, Qt::ToolTipRole);
        }
    }
    // The first port is shown; nothing is opened until "Init" or a change.
    if (ui->ComboBox1->count() > 0)
        ui->ComboBox1->setCurrentIndex(0);
    m_currentAddress = 0;
    ui->StringGrid1->item(0, 1)->setText(QStringLiteral("Canali"));
    ui->StringGrid1->item(0, 2)->setText(QStringLiteral("Separ."));
}

void TMainForm::connectionStep(Boxes boxes)
{
    m_portHandle = -1;
    bool tried = false;
    const QString text = ui->ComboBox1->currentText();
    if (text.startsWith(QLatin1String("Com"), Qt::CaseSensitive)) {
        tried = true;
        // Only the fourth character names the port: Com12 opens port 1.
        m_portNumber = static_cast<uint8_t>(readInteger(text.mid(3, 1).toStdString()));
        m_portHandle = ComInit(m_portNumber, kBaud, kDataBits, kParity, kStopBits, kReadInterval,
                               kReadTotalPerByte, kReadTotalConstant, kWriteTotalPerByte,
                               kWriteTotalConstant);
    }
    if (m_portHandle == -1) {
        // The specified text, then the cause when Pontel knows it.
        QString failed = QStringLiteral("Echec d'initialisation");
        const QString why = tried ? openFailureText(m_portNumber) : QString();
        if (!why.isEmpty())
            failed += QLatin1Char('\n') + why;
        if (boxes == Boxes::Aside)
            m_platform.showMessageAside(this, failed);
        else
            m_platform.showMessage(this, failed);
    } else {
        m_connectedPortName = QStringLiteral("COM%1").arg(m_portNumber);
        BitBtn2Click();
    }
    m_timer->setOn(false);
}

void TMainForm::Button41Click()
{
    connectionStep();
}

void TMainForm::ComboBox1Change()
{
    connectionStep(Boxes::Aside);
}

void TMainForm::BitBtn4Click()
{
    CloseCom(&m_portHandle);
    close();
}

void TMainForm::BitBtn2Enter()
{
    m_pollRunning = m_timer->isOn();
    m_timer->setOn(false);
    m_platform.sleepMs(m_pollRunning ? 200 : 0);
}

void TMainForm::PageControl1Change()
{
    resumePoll();
}

void TMainForm::Edit2Exit()
{
    const int32_t value = readInteger(ui->Edit2->text().toStdString());
    ui->Edit2->setText(format3_3u(static_cast<uint32_t>(value)));
}

void TMainForm::BitBtn26Click()
{
    if (!m_platform.startTool(QString::fromLatin1(kNormalisationTool), m_connectedPortName)) {
        m_platform.showMessage(this, QStringLiteral("Something wrong"));
        return;
    }
    CloseCom(&m_portHandle);
    m_platform.sleepMs(1000);
    m_platform.waitForTool(QString::fromLatin1(kNormalisationWindow));
    connectionStep();
}

void TMainForm::BitBtn2Click()
{
    const int32_t serial = CCGet_Serial_Number(&m_portHandle, m_currentAddress);
    setDisplayText(ui->StaticText1, formatU(static_cast<uint32_t>(serial)));
    resumePoll();
}
