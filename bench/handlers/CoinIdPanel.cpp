// The "Coin Id" group of page "Group 2": each channel's coin identifier, read
// one row at a time or all sixteen, edited in its masked field, and written
// back one row at a time.
#include "First.h"

#include <QPushButton>

#include <stdexcept>

#include "BenchPlatform.h"
#include "CoinIdField.h"
#include "DisplayFormat.h"
#include "ui_First.h"

namespace {

// Raised when the focus tries to leave an edited identifier with an empty
// place, or a write finds one; shown by the error box like any error raised
// in a handler.
class IncompleteCoinIdError : public std::runtime_error
{
public:
    IncompleteCoinIdError()
        : std::runtime_error(
            "Valeur d'entr\xc3\xa9" "e incorrecte. Utiliser Echap pour abandonner les modifications")
    {
    }
};

} // namespace

void TMainForm::wireCoinIdPanel()
{
    for (const CoinIdRow &row : m_channels.coinId) {
        onClick(row.read, &TMainForm::Button61Click);
        onClick(row.write, &TMainForm::Button45Click);
        CoinIdField *field = row.identifier;
        connect(field, &CoinIdField::fieldChanged, this,
                [this, field] { guarded([this, field] { MaskEdit1Change(field); }); });
        // Escape leaves "Write" as it was before the edit: available only
        // for an edit still to be written.
        QPushButton *write = row.write;
        connect(field, &CoinIdField::editAbandoned, this,
                [field, write] { write->setEnabled(field->isEdited()); });
        connect(field, &CoinIdField::leaveRefused, this,
                [this] { guarded([] { throw IncompleteCoinIdError(); }); });
    }
    onClick(ui->Button79, &TMainForm::Button79Click);
}

const CoinIdRow *TMainForm::coinIdRowOf(const QObject *trigger) const
{
    const int channel = tagOf(trigger);
    if (channel < 1 || channel > kChannelCount)
        return nullptr;
    return &m_channels.coinId[channel - 1];
}

// A row's "Read", or one step of "Read All": the identifier that the device
// returned (nothing when the exchange failed) laid out in the row's field;
// the row's "Write" is disabled even when setting the field enabled it.
void TMainForm::Button61Click(QObject *trigger)
{
    if (const CoinIdRow *row = coinIdRowOf(trigger)) {
        const auto channel = static_cast<uint8_t>(tagOf(trigger));
        CCGet_CoinId(&m_coinIdText, &m_portHandle, m_currentAddress, channel);
        row->identifier->setFieldText(CoinIdField::textOfIdentifier(countedText(m_coinIdText)));
        row->write->setEnabled(false);
    }
    resumePoll();
}

// A row's "Write": the six characters of the field, separators dropped.
// A field with an empty place is never written, however "Write" came to be
// available: the field is shown at that place instead, as when leaving it.
void TMainForm::Button45Click(QObject *trigger)
{
    if (const CoinIdRow *row = coinIdRowOf(trigger)) {
        CoinIdField *field = row->identifier;
        if (!field->isComplete()) {
            field->showFirstEmptyPlace();
            throw IncompleteCoinIdError();
        }
        const auto channel = static_cast<uint8_t>(tagOf(trigger));
        const QByteArray identifier = CoinIdField::identifierOfText(field->fieldText());
        if (CCset_CoinId(&m_portHandle, m_currentAddress, channel,
                         reinterpret_cast<const uint8_t *>(identifier.constData()))) {
            field->markWritten();
            static_cast<QWidget *>(trigger)->setEnabled(false);
            m_platform.showMessage(this, QStringLiteral("Ok"));
        } else {
            m_platform.showMessage(this, QStringLiteral("Echec"));
        }
    }
    resumePoll();
}

// "Read All": channels 1 to 16 in order, "Read All" itself naming the
// channel; afterwards no row's "Write" is left enabled.
void TMainForm::Button79Click()
{
    forEachChannel(ui->Button79, &TMainForm::Button61Click);
    for (const CoinIdRow &row : m_channels.coinId)
        row.write->setEnabled(false);
}

// A field's text changed, typed or set by a read: its row's "Write" becomes
// available.
void TMainForm::MaskEdit1Change(QObject *trigger)
{
    if (const CoinIdRow *row = coinIdRowOf(trigger))
        row->write->setEnabled(true);
}
