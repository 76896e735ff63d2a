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
    runGuarded([&platform, owner](const QString &text) { platform.showError(owner, text); }, handler);
}

void runGuarded(const std::function<void(const QString &)> &showErrorBox,
                const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        showErrorBox(errorBoxText(QString::fromUtf8(error.what())));
    } catch (...) {
        showErrorBox(errorBoxText(QStringLiteral("Exception inconnue")));
    }
}
