// The sorter path field of a channel row: a spin box with whole values 0 to
// 8. Unlike a plain QSpinBox it lets the technician type any whole number
// (the value counts as brought into 0..8 at once, and the text is rewritten
// to the nearer bound when the field loses the focus), and text that is not a
// number, such as an emptied field, counts as 0. Its change signal follows
// the text as well as the value: typing that leaves the value as it was
// (emptying a field that shows 0, typing 9 over 8) is a change too.
#pragma once

#include <QSpinBox>

class PathSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    static constexpr int kLowest = 0;
    static constexpr int kHighest = 8;

    explicit PathSpinBox(QWidget *parent = nullptr);

    // The value that a text stands for: a whole number brought into 0..8,
    // 0 for anything else.
    static int pathOfText(const QString &text);

signals:
    // Typed into, spun, or set to another value by the program; once for
    // each change.
    void changed();

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    int valueFromText(const QString &text) const override;

private:
    // Set while the value follows a typed text, whose change is already
    // signalled.
    bool m_typing = false;
};
