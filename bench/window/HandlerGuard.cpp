#include "HandlerGuard.h"

#include <exception>

#include "BenchPlatform.h"

QString errorBoxText(const QString &what)
{
    QString text = what;
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        text += QLatin1Char('.');
    return text;
}

void runGuarded(BenchPlatform &platform, QWidget *owner, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        platform.showError(owner, errorBoxText(QString::fromUtf8(error.what())));
    } catch (...) {
        platform.showError(owner, errorBoxText(QStringLiteral("Exception inconnue")));
    }
}
