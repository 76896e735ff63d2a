#include "WindowLook.h"

#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QRegularExpression>
#include <QWidget>

#include "DisplayFormat.h"
#include "LampPictures.h"

namespace {

const QColor kHeaderBlue(0, 0, 255);
// The toolkit's "inactive caption gradient" colour.
const QColor kInactiveCaption(215, 228, 242);

QFont fontOf(const QStringList &families, int pixelSize, QFont::StyleHint hint)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(pixelSize);
    return font;
}

void applyLook(QWidget *widget, const QString &look)
{
    if (look == QLatin1String("header")) {
        widget->setFont(courierNewFont(13));
        setTextColour(widget, kHeaderBlue);
    } else if (look == QLatin1String("panelHeader")) {
        setTextColour(widget, kHeaderBlue);
    } else if (look == QLatin1String("courier11") || look == QLatin1String("grid")) {
        widget->setFont(courierFont(11));
    } else if (look == QLatin1String("console")) {
        widget->setFont(courierNewFont(13));
    } else if (look == QLatin1String("bold13")) {
        QFont font = windowFont();
        font.setPixelSize(13);
        font.setBold(true);
        widget->setFont(font);
    } else if (look == QLatin1String("bold")) {
        QFont font = windowFont();
        font.setBold(true);
        widget->setFont(font);
    } else if (look == QLatin1String("blueCaption")) {
        setTextColour(widget, kHeaderBlue);
    } else if (look == QLatin1String("gauge")) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Highlight, kSuccessGreen);
        widget->setPalette(palette);
    }
}

void applyBackground(QWidget *widget, const QString &name)
{
    QColor colour;
    if (name == QLatin1String("inactiveCaption"))
        colour = kInactiveCaption;
    else if (name == QLatin1String("yellow"))
        colour = QColor(255, 255, 0);
    else if (name == QLatin1String("lime"))
        colour = QColor(0, 255, 0);
    else if (name == QLatin1String("red"))
        colour = QColor(255, 0, 0);
    else
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    // Captions stay black on every background: the style would otherwise
    // derive a tinted text colour from it (dark red on the red group).
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Text, Qt::black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void applyLamp(QWidget *widget, const QString &lamp)
{
    auto *label = qobject_cast<QLabel *>(widget);
    if (!label)
        return;
    const LampColour colour = lamp.startsWith(QLatin1String("red")) ? LampColour::Red : LampColour::Green;
    const bool on = lamp.endsWith(QLatin1String("On"));
    static const QRegularExpression number(QStringLiteral("(\\d+)$"));
    const int variant = number.match(widget->objectName()).captured(1).toInt() / 2;
    label->setPixmap(lampPicture(colour, on, variant));
    label->setAttribute(Qt::WA_TranslucentBackground);
}

} // namespace

QFont windowFont()
{
    return fontOf({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                   QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                   QStringLiteral("DejaVu Sans")},
                  11, QFont::SansSerif);
}

QFont courierFont(int pixelSize)
{
    return fontOf({QStringLiteral("Courier"), QStringLiteral("Courier New"),
                   QStringLiteral("Liberation Mono"), QStringLiteral("Nimbus Mono PS"),
                   QStringLiteral("DejaVu Sans Mono")},
                  pixelSize, QFont::TypeWriter);
}

QFont courierNewFont(int pixelSize)
{
    return fontOf({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                   QStringLiteral("Nimbus Mono PS"), QStringLiteral("DejaVu Sans Mono")},
                  pixelSize, QFont::TypeWriter);
}

void applyWindowLook(QWidget *window)
{
    window->setFont(windowFont());
    const QList<QWidget *> controls = window->findChildren<QWidget *>();
    for (QWidget *control : controls) {
        const QString look = control->property("look").toString();
        if (!look.isEmpty())
            applyLook(control, look);
        const QString background = control->property("background").toString();
        if (!background.isEmpty())
            applyBackground(control, background);
        const QString lamp = control->property("lamp").toString();
        if (!lamp.isEmpty())
            applyLamp(control, lamp);
        if (control->property("autoSize").toBool()) {
            if (auto *label = qobject_cast<QLabel *>(control))
                label->adjustSize();
            // A display that grows with its text stays readable over its
            // neighbours.
            control->raise();
        }
    }
}
