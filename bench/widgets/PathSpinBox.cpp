#include "PathSpinBox.h"

#include <QLineEdit>
#include <QRegularExpression>

#include <algorithm>

namespace {

// What may stand in the field while typing: an optional sign and digits.
const QRegularExpression &wholeNumberSoFar()
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?[0-9]*$"));
    return pattern;
}

} // namespace

PathSpinBox::PathSpinBox(QWidget *parent) : QSpinBox(parent)
{
    setRange(kLowest, kHighest);
    // The value follows the text while typing, so that every keystroke that
    // changes the value reaches the change handler.
    setKeyboardTracking(true);
    // Typing signals its change at once; the value that follows the typed
    // text (the spin box reads it on the line edit's textChanged, which
    // comes after textEdited) is then not signalled a second time.
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_typing = true;
        emit changed();
    });
    connect(this, &QSpinBox::valueChanged, this, [this] {
        if (!m_typing)
            emit changed();
    });
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { m_typing = false; });
}

int PathSpinBox::pathOfText(const QString &text)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok)
        return kLowest;
    return std::clamp(number, kLowest, kHighest);
}

QValidator::State PathSpinBox::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos);
    // Every whole number is acceptable while typing, also out of range: its
    // value is brought into range, and leaving the field rewrites the text.
    return wholeNumberSoFar().match(input).hasMatch() ? QValidator::Acceptable
                                                       : QValidator::Invalid;
}

int PathSpinBox::valueFromText(const QString &text) const
{
    return pathOfText(text);
}
