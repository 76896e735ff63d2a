#include "CoinIdField.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>

#include <algorithm>
#include <iterator>

namespace {

// Keys that only move the cursor, select or copy: the line edit's own.
const QKeySequence::StandardKey kMovingKeys[] = {
    QKeySequence::MoveToNextChar,       QKeySequence::MoveToPreviousChar,
    QKeySequence::MoveToNextWord,       QKeySequence::MoveToPreviousWord,
    QKeySequence::MoveToStartOfLine,    QKeySequence::MoveToEndOfLine,
    QKeySequence::MoveToStartOfBlock,   QKeySequence::MoveToEndOfBlock,
    QKeySequence::MoveToStartOfDocument, QKeySequence::MoveToEndOfDocument,
    QKeySequence::SelectNextChar,       QKeySequence::SelectPreviousChar,
    QKeySequence::SelectNextWord,       QKeySequence::SelectPreviousWord,
    QKeySequence::SelectStartOfLine,    QKeySequence::SelectEndOfLine,
    QKeySequence::SelectStartOfBlock,   QKeySequence::SelectEndOfBlock,
    QKeySequence::SelectStartOfDocument, QKeySequence::SelectEndOfDocument,
    QKeySequence::SelectAll,            QKeySequence::Copy,
};

bool onlyMoves(QKeyEvent *event)
{
    for (const QKeySequence::StandardKey key : kMovingKeys) {
        if (event->matches(key))
            return true;
    }
    return false;
}

// A character that a place can hold: printable, and one byte of the
// bench's code page (ISO 8859-1), as the device stores it.
bool storable(QChar c)
{
    return c.isPrint() && c.unicode() <= 0xFF;
}

// Keys that go to another page or control: the page control's Ctrl+Tab and
// Ctrl+Shift+Tab, and Tab with any modifier.
bool movesAway(const QKeyEvent *event)
{
    const int key = event->key();
    return key == Qt::Key_Tab || key == Qt::Key_Backtab
        || ((event->modifiers() & Qt::ControlModifier) && (key == Qt::Key_PageUp || key == Qt::Key_PageDown));
}

} // namespace

CoinIdField::CoinIdField(QWidget *parent)
    : QLineEdit(parent), m_guard(new LeaveGuard(this, [this] { refuseLeave(); }))
{
    setMaxLength(kPlaces);
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setAcceptDrops(false);
    showPlaces(0);
}

QString CoinIdField::fieldText() const
{
    return textOf(m_places);
}

void CoinIdField::setFieldText(const QString &text)
{
    const Places before = m_places;
    m_places = placesOf(text);
    m_edited = false;
    keepForEscape();
    updateGuard();
    showPlaces(0);
    if (m_places != before)
        emit fieldChanged();
}

void CoinIdField::markWritten()
{
    m_edited = false;
    keepForEscape();
    updateGuard();
}

void CoinIdField::keepForEscape()
{
    m_beforeEditing = m_places;
    m_editedBefore = m_edited;
}

void CoinIdField::showFirstEmptyPlace()
{
    setFocus(Qt::OtherFocusReason);
    deselect();
    setCursorPosition(std::max(firstEmptyPlace(), 0));
}

QString CoinIdField::textOfIdentifier(const QString &identifier)
{
    // Identifier characters 1 to 6 go to the six places in order.
    static constexpr int kPlaceOfCharacter[] = {0, 1, 3, 4, 5, 7};
    QString text = textOf(Places{});
    const int shown = std::min<int>(identifier.size(), std::size(kPlaceOfCharacter));
    for (int i = 0; i < shown; ++i)
        text[kPlaceOfCharacter[i]] = identifier.at(i);
    return text;
}

QByteArray CoinIdField::identifierOfText(const QString &text)
{
    const QString padded = text.leftJustified(kPlaces, QLatin1Char(' '), true);
    QString identifier;
    for (int place = 0; place < kPlaces; ++place) {
        if (!isSeparator(place))
            identifier += padded.at(place);
    }
    return identifier.toLatin1();
}

int CoinIdField::firstEmptyPlace() const
{
    for (int place = 0; place < kPlaces; ++place) {
        if (!isSeparator(place) && m_places[place].isNull())
            return place;
    }
    return -1;
}

CoinIdField::Places CoinIdField::placesOf(const QString &text)
{
    Places places{};
    int place = 0;
    for (int i = 0; i < text.size() && place < kPlaces; ++i) {
        const QChar c = text.at(i);
        if (isSeparator(place)) {
            ++place;
            if (c == kSeparator)
                continue;
        }
        if (place >= kPlaces)
            break;
        places[place++] = c == QLatin1Char(' ') ? QChar() : c;
    }
    return places;
}

QString CoinIdField::textOf(const Places &places)
{
    QString text;
    for (int place = 0; place < kPlaces; ++place) {
        if (isSeparator(place))
            text += kSeparator;
        else
            text += places[place].isNull() ? QLatin1Char(' ') : places[place];
    }
    return text;
}

void CoinIdField::showPlaces(int cursor)
{
    QString drawn;
    for (int place = 0; place < kPlaces; ++place) {
        if (isSeparator(place))
            drawn += kSeparator;
        else
            drawn += m_places[place].isNull() ? kEmptyDrawn : m_places[place];
    }
    QLineEdit::setText(drawn);
    setCursorPosition(cursor);
}

void CoinIdField::edited(const Places &before)
{
    m_edited = true;
    updateGuard();
    if (m_places != before)
        emit fieldChanged();
}

void CoinIdField::typeText(const QString &text, bool pasted)
{
    const Places before = m_places;
    int cursor = cursorPosition();
    bool wrote = false;
    if (hasSelectedText()) {
        const int start = selectionStart();
        for (int place = start; place < start + selectedText().size() && place < kPlaces; ++place) {
            if (!isSeparator(place))
                m_places[place] = QChar();
        }
        cursor = start;
        wrote = true;
    }
    for (const QChar c : text) {
        // Typing the separator on a separator place just moves past it.
        if (cursor < kPlaces && isSeparator(cursor) && c == kSeparator) {
            ++cursor;
            continue;
        }
        while (cursor < kPlaces && isSeparator(cursor))
            ++cursor;
        if (cursor >= kPlaces || !storable(c)) {
            QApplication::beep();
            break;
        }
        m_places[cursor++] = pasted && c == kEmptyDrawn ? QChar() : c;
        wrote = true;
    }
    // The cursor stays before a separator that follows: the next character
    // passes it, and the separator key steps over it.
    showPlaces(cursor);
    if (wrote)
        edited(before);
}

void CoinIdField::clearSelectionOrPlace(bool backwards)
{
    const Places before = m_places;
    int cursor = cursorPosition();
    if (hasSelectedText()) {
        const int start = selectionStart();
        for (int place = start; place < start + selectedText().size() && place < kPlaces; ++place) {
            if (!isSeparator(place))
                m_places[place] = QChar();
        }
        cursor = start;
    } else if (backwards) {
        int place = cursor - 1;
        while (place >= 0 && isSeparator(place))
            --place;
        if (place < 0)
            return;
        m_places[place] = QChar();
        cursor = place;
    } else {
        int place = cursor;
        while (place < kPlaces && isSeparator(place))
            ++place;
        if (place >= kPlaces)
            return;
        m_places[place] = QChar();
    }
    showPlaces(cursor);
    edited(before);
}

void CoinIdField::abandonEdit()
{
    const Places before = m_places;
    m_places = m_beforeEditing;
    // What the field held when entered was an edit unless it was set or
    // written; one that was incomplete even then (the field left unseen,
    // its page hidden under it) is let go as well.
    m_edited = m_editedBefore && isComplete();
    updateGuard();
    showPlaces(0);
    if (m_places != before)
        emit fieldChanged();
    emit editAbandoned();
}

void CoinIdField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        if (m_edited)
            abandonEdit();
        else
            event->ignore();
        return;
    }
    if (onlyMoves(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        typeText(QGuiApplication::clipboard()->text(), true);
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        copy();
        clearSelectionOrPlace(false);
        return;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        clearSelectionOrPlace(event->key() == Qt::Key_Backspace);
        return;
    }
    const QString text = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command && !text.isEmpty() && text.at(0).isPrint()) {
        typeText(text);
        return;
    }
    // Anything else (Enter, function keys, Ctrl+Tab) is not the field's.
    // While the field must not be left it reaches nothing else either, and
    // a key that goes to another page or control is refused.
    if (mustRefuseLeave()) {
        if (movesAway(event))
            refuseLeave();
        return;
    }
    event->ignore();
}

void CoinIdField::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty())
        typeText(event->commitString());
    event->accept();
}

void CoinIdField::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the selection, as typed characters.
    if (event->button() == Qt::MiddleButton) {
        const QClipboard *clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection()) {
            setCursorPosition(cursorPositionAt(event->position().toPoint()));
            typeText(clipboard->text(QClipboard::Selection), true);
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void CoinIdField::focusInEvent(QFocusEvent *event)
{
    // The text to go back to on Escape: taken when the technician enters
    // the field, not when the focus comes back because leaving was refused
    // or because the window is active again (after the error box, say).
    const Qt::FocusReason reason = event->reason();
    if (!m_refusing && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        keepForEscape();
    QLineEdit::focusInEvent(event);
}

void CoinIdField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    // Another window or a pop-up taking the focus (the error box among them)
    // is not leaving the field.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || m_refusing)
        return;
    if (mustRefuseLeave() && isVisible() && isEnabled())
        refuseLeave();
}

bool CoinIdField::focusNextPrevChild(bool next)
{
    if (mustRefuseLeave()) {
        refuseLeave();
        return true;
    }
    return QLineEdit::focusNextPrevChild(next);
}

void CoinIdField::refuseLeave()
{
    // Taken back while the focus change is still under way, so the control
    // that was about to receive the focus never does. In an inactive window
    // this only makes the field the one that gets the focus back.
    m_refusing = true;
    setFocus(Qt::OtherFocusReason);
    m_refusing = false;
    deselect();
    setCursorPosition(firstEmptyPlace());
    if (m_refusalPending)
        return;
    m_refusalPending = true;
    QApplication::beep();
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_refusalPending = false;
            emit leaveRefused();
        },
        Qt::QueuedConnection);
}
