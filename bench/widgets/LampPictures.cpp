#include "LampPictures.h"

#include <QPainter>
#include <QRadialGradient>

namespace {

struct LampTones {
    QColor centre;
    QColor edge;
    QColor rim;
};

LampTones tones(LampColour colour, bool on)
{
    if (colour == LampColour::Green) {
        if (on)
            return {QColor(170, 255, 170), QColor(0, 190, 0), QColor(0, 90, 0)};
        return {QColor(40, 100, 40), QColor(0, 45, 0), QColor(0, 30, 0)};
    }
    if (on)
        return {QColor(255, 170, 170), QColor(230, 0, 0), QColor(110, 0, 0)};
    return {QColor(110, 40, 40), QColor(55, 0, 0), QColor(35, 0, 0)};
}

} // namespace

QPixmap lampPicture(LampColour colour, bool on, int variant)
{
    QPixmap picture(kLampSize, kLampSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    const LampTones t = tones(colour, on);
    const QRectF body(0.5, 0.5, kLampSize - 1.0, kLampSize - 1.0);
    // Light falls from the upper left; lit lamps vary a little in shading.
    const qreal shift = on ? 0.3 * (variant % 3) : 0.0;
    QRadialGradient gradient(body.center(), kLampSize / 2.0,
                             QPointF(5.0 + shift, 5.0 + shift));
    gradient.setColorAt(0.0, t.centre);
    gradient.setColorAt(0.85, t.edge);
    gradient.setColorAt(1.0, t.rim);
    painter.setPen(QPen(t.rim, 1.0));
    painter.setBrush(gradient);
    painter.drawEllipse(body);

    if (on) {
        // The white highlight of a lit lamp.
        QRadialGradient highlight(QPointF(5.0 + shift, 4.5 + shift), 2.6);
        highlight.setColorAt(0.0, QColor(255, 255, 255, 240));
        highlight.setColorAt(1.0, QColor(255, 255, 255, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(highlight);
        painter.drawEllipse(QPointF(5.0 + shift, 4.5 + shift), 2.6, 2.6);
    }
    return picture;
}
