#include "PaintedCut.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>

namespace {

constexpr char kCutProperty[] = "paintedCut";

// The room QLabel gives its text: the contents less the margin and, for a
// framed label without an indent of its own, half an "x" on the side the
// text starts from.
QRect textRoom(const QLabel *display)
{
    const int margin = display->margin();
    QRect room = display->contentsRect().adjusted(margin, margin, -margin, -margin);
    int indent = display->indent();
    if (indent < 0 && display->frameWidth() > 0)
        indent = display->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
    if (indent > 0) {
        const Qt::Alignment align = QStyle::visualAlignment(display->layoutDirection(), display->alignment());
        if (align & Qt::AlignLeft)
            room.setLeft(room.left() + indent);
        if (align & Qt::AlignRight)
            room.setRight(room.right() - indent);
    }
    return room;
}

// The frame is QFrame's own drawing, reached through a member pointer
// named from a subclass (drawFrame is protected).
struct FrameDrawing : QLabel
{
    static void draw(QLabel *display, QPainter *painter)
    {
        (display->*(&FrameDrawing::drawFrame))(painter);
    }
};

class CutPainter : public QObject
{
public:
    explicit CutPainter(QLabel *display) : QObject(display) { display->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *display = static_cast<QLabel *>(watched);
        if (event->type() != QEvent::Paint || !display->property(kCutProperty).toBool())
            return false;
        QPainter painter(display);
        FrameDrawing::draw(display, &painter);
        const Qt::Alignment align = QStyle::visualAlignment(display->layoutDirection(), display->alignment());
        display->style()->drawItemText(&painter, textRoom(display), int(align), display->palette(),
                                       display->isEnabled(), shownText(display), display->foregroundRole());
        return true;
    }
};

} // namespace

void setPaintedCut(QLabel *display, bool cut)
{
    if (cut && !display->findChild<CutPainter *>(QString(), Qt::FindDirectChildrenOnly))
        new CutPainter(display);
    display->setProperty(kCutProperty, cut);
    display->update();
}

QString shownText(const QLabel *display)
{
    if (!display->property(kCutProperty).toBool())
        return display->text();
    return display->fontMetrics().elidedText(display->text(), Qt::ElideRight, textRoom(display).width());
}
