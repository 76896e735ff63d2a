// The masked field of a coin identifier row, edit mask "CC_CCC_C;1;#": eight
// places, of which places 3 and 7 hold the fixed separator "_" and the six
// others one character each, any character allowed. An empty place is drawn
// as "#"; in the field's text it is a blank, and the separators are part of
// the text, so the text always has its eight characters.
//
// Typing overwrites the place under the cursor and moves on; the cursor
// passes a separator with the next character typed, and typing the
// separator itself there just steps over it. Pasting types the text, except
// that a "#" (an empty place, as copied from a field) empties its place.
//
// A field whose text the technician edited cannot be left while a place is
// empty, by any way: Tab, Ctrl+Tab, a click or a wheel turn on another
// control (even while the window is inactive), a shortcut or mnemonic. The
// field beeps, keeps the focus with the cursor on the first empty place,
// keeps the attempt from the control it was meant for, and reports
// leaveRefused() once for it. Escape abandons the edit and puts back the
// text, and whether it was an edit, as they were when the technician
// entered the field.
//
// QLineEdit::text() is what is drawn (with "#"); fieldText() is the text.
#pragma once

#include <QByteArray>
#include <QLineEdit>
#include <QString>

#include <array>

#include "LeaveGuard.h"

class CoinIdField : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr int kPlaces = 8;
    static constexpr QChar kSeparator = QLatin1Char('_');
    static constexpr QChar kEmptyDrawn = QLatin1Char('#');

    explicit CoinIdField(QWidget *parent = nullptr);

    // Eight characters: the separators in places 3 and 7, a blank in every
    // empty place.
    QString fieldText() const;
    // Places the characters of text into the field in order, skipping a
    // separator place (and consuming the text's character there when it is
    // the separator); a blank makes its place empty, and places that the
    // text does not reach are left empty. Ends any edit. Emits
    // fieldChanged() when the text differs from the one held.
    void setFieldText(const QString &text);

    // The field text for an identifier read from the device: its first two
    // characters, the separator, the next three, the separator, the sixth.
    // Places that a shorter identifier does not reach stay empty; characters
    // after the sixth are not shown.
    static QString textOfIdentifier(const QString &identifier);
    // The six identifier bytes of a field text: places 1, 2, 4, 5, 6 and 8
    // (the separators dropped), each character as one byte of ISO 8859-1.
    static QByteArray identifierOfText(const QString &text);

    // Whether place i (0 to 7) is a separator.
    static bool isSeparator(int place) { return place == 2 || place == 6; }
    // The first empty place (0 to 7), -1 when every place is filled.
    int firstEmptyPlace() const;
    bool isComplete() const { return firstEmptyPlace() < 0; }
    // The text holds a change by the technician that has not been written
    // since, nor replaced by setting the text.
    bool isEdited() const { return m_edited; }
    // The text is now the device's: the edit ends without a change.
    void markWritten();
    // Takes the focus with the cursor on the first empty place.
    void showFirstEmptyPlace();

signals:
    // The field's text changed: typed, abandoned or set.
    void fieldChanged();
    // Escape put back the text from before the edit (after fieldChanged()
    // when that differed).
    void editAbandoned();
    // The focus was kept because the edited text is incomplete. Delivered
    // after the attempt to leave has been dealt with.
    void leaveRefused();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    using Places = std::array<QChar, kPlaces>; // QChar() = empty

    bool mustRefuseLeave() const { return m_edited && !isComplete(); }
    void refuseLeave();
    // Arms the guard exactly while the field must not be left.
    void updateGuard() { m_guard->setArmed(mustRefuseLeave()); }
    // What Escape goes back to.
    void keepForEscape();

    // Editing by the technician. Pasted text reads "#" as an empty place.
    void typeText(const QString &text, bool pasted = false);
    void clearSelectionOrPlace(bool backwards);
    void abandonEdit();
    void edited(const Places &before);

    void showPlaces(int cursor);
    static Places placesOf(const QString &text);
    static QString textOf(const Places &places);

    Places m_places{};
    Places m_beforeEditing{};
    bool m_edited = false;
    bool m_editedBefore = false;
    bool m_refusing = false;
    // A refusal is on its way to being reported: further events of the same
    // attempt (the focus moved by a press, then the press) are refused
    // quietly.
    bool m_refusalPending = false;
    LeaveGuard *m_guard;
};
