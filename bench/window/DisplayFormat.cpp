#include "DisplayFormat.h"

#include <QLabel>
#include <QPalette>
#include <QVariant>

#include <algorithm>

#include "PaintedCut.h"

QString formatU(uint32_t value)
{
    return QString::number(value);
}

QString format2u(uint32_t value)
{
    return QString::asprintf("%2u", value);
}

QString format3u(uint32_t value)
{
    return QString::asprintf("%3u", value);
}

QString format5u(uint32_t value)
{
    return QString::asprintf("%5u", value);
}

QString format3_3u(uint32_t value)
{
    return QString::asprintf("%3.3u", value);
}

QString countedText(const CountedString &text)
{
    return QString::fromLatin1(reinterpret_cast<const char *>(text.bytes + 1), text.bytes[0]);
}

void setDisplayText(QLabel *display, const QString &text)
{
    display->setText(text);
    display->setToolTip(QString());
    setPaintedCut(display, false);
    if (!display->property("autoSize").toBool())
        return;
    display->adjustSize();
    const QVariant limit = display->property(kRightLimitProperty);
    if (!limit.isValid() || display->x() + display->width() <= limit.toInt())
        return;
    display->resize(std::max(0, limit.toInt() - display->x()), display->height());
    display->setToolTip(plainToolTip(text));
    setPaintedCut(display, true);
}

QString plainToolTip(const QString &text)
{
    return QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>").arg(text.toHtmlEscaped());
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    // Active and inactive only: a disabled control keeps its greyed look.
    QPalette palette = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, colour);
        palette.setColor(group, QPalette::Text, colour);
        palette.setColor(group, QPalette::ButtonText, colour);
    }
    widget->setPalette(palette);
}

QColor textColour(const QWidget *widget)
{
    return widget->palette().color(QPalette::WindowText);
}
