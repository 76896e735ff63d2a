#include "CommandOutcome.h"

#include <QLabel>
#include <QVariant>

#include "BenchPlatform.h"
#include "DisplayFormat.h"
#include "PontelDeclar.h"
#include "ReplyCheck.h"

namespace {

// The colour a header label had before its first failure.
constexpr char kOwnColourProperty[] = "headerColour";
// "Read All" on a device that stopped answering: the first channels say it.
constexpr int kMostReported = 4;

} // namespace

void CommandOutcome::begin(PortHandle handle)
{
    m_handle = handle;
    m_exchanged = false;
    m_failures.clear();
    PontelExchange exchange;
    m_exchange = PontelLastExchange(handle, &exchange) ? exchange.number : 0;
}

void CommandOutcome::step(PortHandle handle, const QString &portName, const QString &part)
{
    PontelExchange exchange;
    if (!PontelLastExchange(handle, &exchange))
        return;
    if (handle == m_handle && exchange.number == m_exchange)
        return;
    m_handle = handle;
    m_exchange = exchange.number;
    m_exchanged = true;
    const ReplyVerdict verdict = checkExchange(exchange);
    if (verdict.kind == ReplyVerdict::Good)
        return;
    QString text = QString::fromStdString(describeVerdict(verdict, portName.toStdString()));
    if (verdict.kind == ReplyVerdict::PortGone)
        text += QStringLiteral("; \"Init\" opens it again");
    if (m_failures.size() < kMostReported)
        m_failures << (part.isEmpty() ? text : part + QStringLiteral(": ") + text);
    else if (m_failures.size() == kMostReported)
        m_failures << QStringLiteral("…");
    if (lineMayStillCarry(verdict))
        m_platform.settleAfterFailure(handle);
}

void CommandOutcome::finish(QLabel *label, PortHandle handle, const QString &portName)
{
    step(handle, portName);
    if (!m_exchanged) {
        if (PontelIsOpen(handle))
            return;
        m_failures = QStringList{QStringLiteral("no port is open: pick a port and press \"Init\"")};
    }
    if (label)
        showCommandFailures(label, m_failures);
}

void showCommandFailures(QLabel *label, const QStringList &failures)
{
    QVariant own = label->property(kOwnColourProperty);
    if (!own.isValid()) {
        own = textColour(label);
        label->setProperty(kOwnColourProperty, own);
    }
    setTextColour(label, failures.isEmpty() ? own.value<QColor>() : kFailureRed);
    label->setToolTip(failures.isEmpty() ? QString() : plainToolTip(failures.join(QLatin1Char('\n'))));
}
