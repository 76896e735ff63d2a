#include "TextFit.h"

#include "PaintedCut.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTableWidget>

namespace {

QString describe(const QWidget *control, const QString &text, int needed, int room)
{
    return QStringLiteral("%1 \"%2\": needs %3, has %4")
        .arg(control->objectName(), text)
        .arg(needed)
        .arg(room);
}

int textWidth(const QWidget *control, const QString &text)
{
    return control->fontMetrics().size(Qt::TextShowMnemonic, text).width();
}

void checkButton(const QAbstractButton *button, QStringList &cut)
{
    if (button->text().isEmpty())
        return;
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (qobject_cast<const QCheckBox *>(button))
        element = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton *>(button))
        element = QStyle::SE_RadioButtonContents;
    const QRect contents = button->style()->subElementRect(element, &option, button);
    // Check boxes and radio buttons give their text the rest of the control
    // after the indicator.
    const int room = element == QStyle::SE_PushButtonContents ? contents.width()
                                                               : button->width() - contents.x();
    const int needed = textWidth(button, button->text());
    if (needed > room)
        cut << describe(button, button->text(), needed, room);
    if (button->fontMetrics().height() > button->height())
        cut << describe(button, button->text(), button->fontMetrics().height(), button->height());
}

void checkLabel(const QLabel *label, QStringList &cut)
{
    // What it paints: a display too long for its room paints its text cut.
    const QString shown = shownText(label);
    if (shown.isEmpty() || label->wordWrap())
        return;
    const QRect contents = label->contentsRect();
    const int needed = textWidth(label, shown) + 2 * label->margin();
    if (needed > contents.width())
        cut << describe(label, shown, needed, contents.width());
    if (label->fontMetrics().height() > contents.height() + 2)
        cut << describe(label, shown, label->fontMetrics().height(), contents.height());
}

void checkField(const QLineEdit *field, QStringList &cut)
{
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    const QRect contents = field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
    // The field keeps two pixels of margin on each side of its text.
    const int room = contents.width() - 4;
    const int needed = field->fontMetrics().horizontalAdvance(field->displayText());
    if (needed > room)
        cut << describe(field, field->displayText(), needed, room);
}

void checkGroupTitle(const QGroupBox *group, QStringList &cut)
{
    const int needed = textWidth(group, group->title()) + 16;
    if (needed > group->width())
        cut << describe(group, group->title(), needed, group->width());
}

void checkGrid(const QTableWidget *grid, QStringList &cut)
{
    // The cell margins on both sides, and the grid line inside the column.
    const int padding = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1)
                        + (grid->showGrid() ? 1 : 0);
    for (int row = 0; row < grid->rowCount(); ++row) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            const QTableWidgetItem *cell = grid->item(row, column);
            if (!cell || cell->text().isEmpty())
                continue;
            const int needed = grid->fontMetrics().horizontalAdvance(cell->text()) + padding;
            if (needed > grid->columnWidth(column))
                cut << describe(grid, cell->text(), needed, grid->columnWidth(column));
        }
    }
}

// Shown, or would be when its page is shown.
bool shownOnItsPage(const QWidget *widget, const QWidget *root)
{
    for (const QWidget *w = widget; w && w != root; w = w->parentWidget()) {
        const bool isPage = w->parentWidget() && w->parentWidget()->inherits("QStackedWidget");
        if (w->isHidden() && !isPage)
            return false;
    }
    return true;
}

} // namespace

QStringList cutTexts(const QWidget *root)
{
    QStringList cut;
    const QList<QWidget *> controls = root->findChildren<QWidget *>();
    for (const QWidget *control : controls) {
        if (!shownOnItsPage(control, root))
            continue;
        if (const auto *button = qobject_cast<const QAbstractButton *>(control))
            checkButton(button, cut);
        else if (const auto *label = qobject_cast<const QLabel *>(control))
            checkLabel(label, cut);
        else if (const auto *field = qobject_cast<const QLineEdit *>(control))
            checkField(field, cut);
        else if (const auto *group = qobject_cast<const QGroupBox *>(control))
            checkGroupTitle(group, cut);
        else if (const auto *grid = qobject_cast<const QTableWidget *>(control))
            checkGrid(grid, cut);
    }
    return cut;
}

QStringList overlappingDisplays(const QWidget *root)
{
    QStringList overlaps;
    const QList<QLabel *> labels = root->findChildren<QLabel *>();
    for (const QLabel *display : labels) {
        if (!display->property("autoSize").toBool() || !shownOnItsPage(display, root)
            || display->text().isEmpty())
            continue;
        const QList<QWidget *> siblings =
            display->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (const QWidget *sibling : siblings) {
            if (sibling == display || !shownOnItsPage(sibling, root))
                continue;
            if (qobject_cast<const QLabel *>(sibling) && static_cast<const QLabel *>(sibling)->text().isEmpty()
                && static_cast<const QLabel *>(sibling)->pixmap().isNull())
                continue;
            if (display->geometry().intersects(sibling->geometry()))
                overlaps << QStringLiteral("%1 \"%2\" over %3")
                                .arg(display->objectName(), display->text(), sibling->objectName());
        }
    }
    return overlaps;
}
