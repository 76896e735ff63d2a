// The sorter path field of a channel row: a spin box with whole values 0 to
// 8. Unlike a plain QSpinBox it lets the technician type any whole number
// (the value counts as brought into 0..8 at once, and the text is rewritten
// to the nearer bound when the field loses the focus), and text that is not a
// number, such as an emptied field, counts as 0.
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

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    int valueFromText(const QString &text) const override;
};
