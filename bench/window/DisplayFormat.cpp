#include "DisplayFormat.h"

#include <QLabel>
#include <QPalette>
#include <QVariant>

#include <algorithm>

namespace {

constexpr char kWholeTextProperty[] = "wholeText";

} // namespace

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
    display->setProperty(kWholeTextProperty, QVariant());
    if (!display->property("autoSize").toBool())
        return;
    display->adjustSize();
    const QVariant limit = display->property(kRightLimitProperty);
    if (!limit.isValid() || display->x() + display->width() <= limit.toInt())
        return;
    // The frame, margins and indent around the text stay; the text gets
    // what is left of the room.
    const QFontMetrics metrics = display->fontMetrics();
    const int chrome = display->width() - metrics.size(0, text).width();
    const int width = std::max(0, limit.toInt() - display->x());
    display->setText(metrics.elidedText(text, Qt::ElideRight, std::max(0, width - chrome)));
    display->resize(width, display->height());
    display->setToolTip(plainToolTip(text));
    display->setProperty(kWholeTextProperty, text);
}

QString wholeText(const QLabel *display)
{
    const QVariant whole = display->property(kWholeTextProperty);
    return whole.isValid() ? whole.toString() : display->text();
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
