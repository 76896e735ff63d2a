// The "Send a command" group of page "Group 1": any header with any data to
// any address through the raw pass-through, the reply shown byte by byte.
#include "First.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "BenchPlatform.h"
#include "ConsoleText.h"
#include "DisplayFormat.h"
#include "ui_First.h"

namespace {

constexpr uint8_t kHostAddress = 1;

} // namespace

void TMainForm::wireCommandConsole()
{
    onClick(ui->BitBtn23, &TMainForm::BitBtn23Click);
    onExit(ui->LabeledEdit2, &TMainForm::LabeledEdit2Exit);
}

// "Send". The console deals with its own errors: a field that does not
// convert, a data text too long, or a failed exchange all end in "Command
// line wrong!", and the poll is resumed on every path.
void TMainForm::BitBtn23Click()
{
    try {
        ui->Memo1->clear();
        m_consoleRequest.fill(0);
        // "To :" is trimmed for reading only; "Header" trims itself when the
        // focus leaves it.
        m_consoleRequest[0] = byteOfText(trimmedText(ui->LabeledEdit1->text()));
        m_consoleRequest[1] = 0;
        m_consoleRequest[2] = kHostAddress;
        m_consoleRequest[3] = byteOfText(ui->LabeledEdit2->text());
        const QString data = trimmedText(ui->LabeledEdit3->text());
        ui->LabeledEdit3->setText(data);
        readDataTokens(data, m_consoleRequest);
        setDisplayText(ui->StaticText14, formatU(m_consoleRequest[1]));
        setDisplayText(ui->StaticText16, formatU(requestChecksum(m_consoleRequest)));
        if (CCSend_Command(&m_portHandle, m_consoleRequest.data(), m_consoleReply.data())) {
            for (const QString &line : replyLines(m_consoleReply, m_consoleRequest[3]))
                ui->Memo1->appendPlainText(line);
            // Shown from its first column and its decimal line.
            ui->Memo1->moveCursor(QTextCursor::Start);
        } else {
            m_platform.showMessage(this, QStringLiteral("Command line wrong!"));
        }
    } catch (...) {
        m_platform.showMessage(this, QStringLiteral("Command line wrong!"));
    }
    resumePoll();
}

// Leaving "Header": blanks and control characters at both ends removed.
void TMainForm::LabeledEdit2Exit()
{
    ui->LabeledEdit2->setText(trimmedText(ui->LabeledEdit2->text()));
}
