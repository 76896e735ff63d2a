// The masked field of a coin identifier row, edit mask "CC_CCC_C;1;#": eight
// places, of which places 3 and 7 hold the fixed separator "_" and the six
// others one character each, any character allowed. An empty place is drawn
// as "#"; in the field's text it is a blank, and the separators are part of
// the text, so the text always has its eight characters.
//
// Typing overwrites the place under the cursor and moves on, skipping the
// separators. A field whose text the technician edited cannot be left while
// a place is empty: the field beeps, keeps the focus with the cursor on the
// first empty place, swallows the click that tried to move the focus
// elsewhere, and reports leaveRefused(). Escape abandons the edit and puts
// back the text that the field held when it took the focus.
//
// QLineEdit::text() is what is drawn (with "#"); fieldText() is the text.
#pragma once

#include <QByteArray>
#include <QLineEdit>
#include <QString>

#include <array>

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
    // The text was changed by the technician since it was last set.
    bool isEdited() const { return m_edited; }

signals:
    // The field's text changed: typed, abandoned or set.
    void fieldChanged();
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
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Places = std::array<QChar, kPlaces>; // QChar() = empty

    bool mustRefuseLeave() const { return m_edited && !isComplete(); }
    void refuseLeave(bool swallowClick);
    void stopSwallowing();

    // Editing by the technician.
    void typeText(const QString &text);
    void clearSelectionOrPlace(bool backwards);
    void abandonEdit();
    void edited(const Places &before);

    void showPlaces(int cursor);
    static Places placesOf(const QString &text);
    static QString textOf(const Places &places);

    Places m_places{};
    Places m_beforeEditing{};
    bool m_edited = false;
    bool m_refusing = false;
    bool m_swallowing = false;
    bool m_seenPress = false;
};
