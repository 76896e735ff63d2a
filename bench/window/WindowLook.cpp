#include "WindowLook.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QRegularExpression>
#include <QWidget>

#include <algorithm>

#include "DisplayFormat.h"
#include "LampPictures.h"

namespace {

const QColor kHeaderBlue(0, 0, 255);
// The toolkit's "inactive caption gradient" colour.
const QColor kInactiveCaption(215, 228, 242);

// The window is laid out for the metrics of the fonts the bench installs
// (fonts-liberation2): Liberation Sans for the window font, Liberation Mono
// for the fixed-pitch "Courier" and "Courier New". The first family of a
// list that the machine has is taken, never a family that fontconfig
// would substitute for a missing name, so a machine with the packages
// installed always draws the window with the same fonts. Windows has Arial
// and Courier New instead, whose metrics the Liberation fonts were made to
// match. DejaVu is the last resort of a machine without any of them; there
// the captions may be cut.
const QStringList kWindowFamilies = {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                     QStringLiteral("DejaVu Sans")};
const QStringList kFixedFamilies = {QStringLiteral("Liberation Mono"), QStringLiteral("Courier New"),
                                    QStringLiteral("DejaVu Sans Mono")};

QFont fontOf(const QStringList &families, int pixelSize, QFont::StyleHint hint)
{
    QFont font;
    QString chosen = families.back();
    for (const QString &family : families) {
        if (QFontDatabase::hasFamily(family)) {
            chosen = family;
            break;
        }
    }
    font.setFamily(chosen);
    font.setStyleHint(hint);
    font.setPixelSize(pixelSize);
    // Unhinted glyphs have the same advances on every platform plugin
    // (offscreen, X11, Wayland): what a layout test measures is what the
    // technician sees.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void applyLook(QWidget *widget, const QString &look)
{
    if (look == QLatin1String("header")) {
        widget->setFont(courierNewFont(13));
        setTextColour(widget, kHeaderBlue);
    } else if (look == QLatin1String("panelHeader")) {
        setTextColour(widget, kHeaderBlue);
    } else if (look == QLatin1String("courier11")) {
        widget->setFont(courierFont(11));
    } else if (look == QLatin1String("grid")) {
        // 10 pixels: the title "Canali" then fits its 43-pixel column with
        // the cell margins.
        widget->setFont(courierFont(10));
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

// Room left free between a display and the control to its right.
constexpr int kDisplayGap = 4;

// A display that the layout marks as following another one (the polling
// unit after its value) moves with it and is not its neighbour.
bool follows(const QWidget *widget, const QWidget *display)
{
    return widget->property("follows").toString() == display->objectName();
}

// The right edge a display that sizes itself to its text may grow to: the
// left edge of the nearest control to its right on its row, less a small
// gap, or its parent's right edge.
int rightLimitOf(const QWidget *display)
{
    const QWidget *parent = display->parentWidget();
    const int top = display->y();
    const int bottom = top + std::max(display->height(), display->fontMetrics().height() + 4);
    int limit = parent->width() - kDisplayGap;
    const QList<QWidget *> siblings = parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (const QWidget *sibling : siblings) {
        if (sibling == display || sibling->isWindow() || follows(sibling, display))
            continue;
        const QRect place = sibling->geometry();
        if (place.x() > display->x() && place.top() < bottom && place.bottom() >= top)
            limit = std::min(limit, place.x() - kDisplayGap);
    }
    return limit;
}

} // namespace

QFont windowFont()
{
    return fontOf(kWindowFamilies, 11, QFont::SansSerif);
}

QFont courierFont(int pixelSize)
{
    return fontOf(kFixedFamilies, pixelSize, QFont::TypeWriter);
}

QFont courierNewFont(int pixelSize)
{
    return fontOf(kFixedFamilies, pixelSize, QFont::TypeWriter);
}

void applyWindowLook(QWidget *window)
{
    window->setFont(windowFont());
    const QList<QWidget *> controls = window->findChildren<QWidget *>();
    for (QWidget *control : controls) {
        // Every text of the window is drawn as typed: a device text or a
        // console reply such as "<b>ACME</b>" is never read as markup.
        if (auto *label = qobject_cast<QLabel *>(control))
            label->setTextFormat(Qt::PlainText);
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
        }
    }
    for (QWidget *control : controls) {
        if (control->property("autoSize").toBool())
            control->setProperty(kRightLimitProperty, rightLimitOf(control));
    }
}
