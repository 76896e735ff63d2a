// The masked coin id field on its own: its text and what it draws, typing
// over the six places, clearing, Escape, and the identifier layouts.
#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include "CoinIdField.h"

namespace {

class CoinIdFieldTest : public ::testing::Test
{
protected:
    CoinIdFieldTest()
    {
        m_field = new CoinIdField(&m_window);
        auto *layout = new QVBoxLayout(&m_window);
        layout->addWidget(m_field);
        m_field->setFieldText(QStringLiteral("  _   _ "));
    }

    // The field with the focus, the cursor at place 1.
    void focusField()
    {
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
        m_field->setFocus(Qt::OtherFocusReason);
        m_field->setCursorPosition(0);
    }

    QWidget m_window;
    CoinIdField *m_field;
};

TEST_F(CoinIdFieldTest, StartsWithTheSeparatorsAndSixEmptyPlaces)
{
    EXPECT_EQ(m_field->fieldText(), QStringLiteral("  _   _ "));
    EXPECT_EQ(m_field->text(), QStringLiteral("##_###_#"));
    EXPECT_EQ(m_field->firstEmptyPlace(), 0);
    EXPECT_FALSE(m_field->isEdited());
}

TEST_F(CoinIdFieldTest, TypingFillsThePlacesAndSkipsTheSeparators)
{
    focusField();
    QSignalSpy changes(m_field, &CoinIdField::fieldChanged);
    QTest::keyClicks(m_field, QStringLiteral("EU2"));
    EXPECT_EQ(m_field->fieldText(), QStringLiteral("EU_2  _ "));
    EXPECT_EQ(m_field->text(), QStringLiteral("EU_2##_#"));
    EXPECT_EQ(m_field->cursorPosition(), 4);
    QTest::keyClicks(m_field, QStringLiteral("00A"));
    EXPECT_EQ(m_field->fieldText(), QStringLiteral("EU_200_A"));
    EXPECT_TRUE(m_field->isComplete());
    EXPECT_TRUE(m_field->isEdited());
    EXPECT_EQ(changes.count(), 6);
    // The field is full: a further character changes nothing.
    QTest::keyClicks(m_field, QStringLiteral("Z"));
    EXPECT_EQ(m_field->fieldText(), QStringLiteral("EU_200_A"));
    EXPECT_EQ(changes.count(), 6);
}

TEST_F(CoinIdFieldTest, AnyCharacterFillsAPlaceAndTheSeparatorKeyMovesPastASeparator)
{
    focusField();
    QTest::keyClicks(m_field, QStringLiteral("#_"));
    EXPECT_EQ(m_field->fieldText(), QStringLiteral("#__   _ "));
    EXPECT_EQ(m_field->text(), QStringLiteral("#__###_#"));
    // On the separator place the "_" key only moves on; a blank is a
    // character like any other.
    m_field->setCursorPosition(2);
    QTest::keyClicks(m_field, QStringLiteral("_ ."));
    EXPECT_EQ(m_field->fieldText(), QStringLiteral("#__ . _ "));
    EXPECT_EQ(m_field->text(), QStringLiteral("#__ .#_#"));
    EXPECT_EQ(m_field->firstEmptyPlace(), 5);
}

TEST_F(CoinIdFieldTest, OverwritesTheSelectionAndBackspaceEmptiesPlaces)
{
    m_field->setFieldText(QStringLiteral("AB_CDE_F"));
    focusField();
    EXPECT_FALSE(m_field->isEdited());
    m_field->setSelection(3, 2);
    QTest::keyClicks(m_field, QStringLiteral("x"));
    EXPECT_EQ(m_field->fieldText(), QStringLiteral("AB_x E_F"));
    QTest::keyClick(m_field, Qt::Key_Backspace);
    EXPECT_EQ(m_field->fieldText(), QStringLiteral("AB_  E_F"));
    // Backspace after a separator empties the place before it.
    m_field->setCursorPosition(3);
    QTest::keyClick(m_field, Qt::Key_Backspace);
    EXPECT_EQ(m_field->fieldText(), QStringLiteral("A _  E_F"));
    m_field->setCursorPosition(7);
    QTest::keyClick(m_field, Qt::Key_Delete);
    EXPECT_EQ(m_field->fieldText(), QStringLiteral("A _  E_ "));
    EXPECT_EQ(m_field->text(), QStringLiteral("A#_##E_#"));
    EXPECT_EQ(m_field->firstEmptyPlace(), 1);
}

TEST_F(CoinIdFieldTest, EscapeAbandonsTheEditAndPutsBackTheTextFromBeforeIt)
{
    m_field->setFieldText(QStringLiteral("AB_CDE_F"));
    focusField();
    QTest::keyClicks(m_field, QStringLiteral("XY"));
    ASSERT_EQ(m_field->fieldText(), QStringLiteral("XY_CDE_F"));
    QSignalSpy changes(m_field, &CoinIdField::fieldChanged);
    QTest::keyClick(m_field, Qt::Key_Escape);
    EXPECT_EQ(m_field->fieldText(), QStringLiteral("AB_CDE_F"));
    EXPECT_FALSE(m_field->isEdited());
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(CoinIdFieldTest, PasteTypesAndOtherEditingKeysLeaveTheTextAlone)
{
    focusField();
    QGuiApplication::clipboard()->setText(QStringLiteral("XY_12"));
    QTest::keySequence(m_field, QKeySequence::Paste);
    EXPECT_EQ(m_field->fieldText(), QStringLiteral("XY_12 _ "));
    // Keys that would edit a plain line edit behind the field's back: the
    // word erase empties one place like Backspace, the others do nothing.
    QTest::keyClick(m_field, Qt::Key_Backspace, Qt::ControlModifier);
    QTest::keySequence(m_field, QKeySequence::Undo);
    m_field->setCursorPosition(0);
    QTest::keySequence(m_field, QKeySequence::DeleteEndOfLine);
    EXPECT_EQ(m_field->fieldText(), QStringLiteral("XY_1  _ "));
    EXPECT_EQ(m_field->text(), QStringLiteral("XY_1##_#"));
}

TEST_F(CoinIdFieldTest, SettingTheSameTextIsNoChange)
{
    QSignalSpy changes(m_field, &CoinIdField::fieldChanged);
    m_field->setFieldText(QStringLiteral("  _   _ "));
    EXPECT_EQ(changes.count(), 0);
    m_field->setFieldText(QStringLiteral("AB_CDE_F"));
    m_field->setFieldText(QStringLiteral("AB_CDE_F"));
    EXPECT_EQ(changes.count(), 1);
}

struct LayoutCase {
    const char *identifier;
    const char *text;
    const char *drawn;
};

TEST(CoinIdLayout, PlacesTheCharactersOfAnIdentifierOfAnyLength)
{
    const LayoutCase cases[] = {
        {"EU200A", "EU_200_A", "EU_200_A"},
        {"EU200", "EU_200_ ", "EU_200_#"},
        {"EU2", "EU_2  _ ", "EU_2##_#"},
        {"EU200AXY", "EU_200_A", "EU_200_A"},
        {"", "  _   _ ", "##_###_#"},
        {"A_B", "A__B  _ ", "A__B##_#"},
    };
    for (const LayoutCase &c : cases) {
        SCOPED_TRACE(c.identifier);
        const QString text = CoinIdField::textOfIdentifier(QString::fromLatin1(c.identifier));
        EXPECT_EQ(text, QString::fromLatin1(c.text));
        CoinIdField field;
        field.setFieldText(text);
        EXPECT_EQ(field.fieldText(), QString::fromLatin1(c.text));
        EXPECT_EQ(field.text(), QString::fromLatin1(c.drawn));
    }
}

TEST(CoinIdLayout, TheIdentifierOfATextDropsTheSeparators)
{
    EXPECT_EQ(CoinIdField::identifierOfText(QStringLiteral("XY_123_Z")), QByteArray("XY123Z"));
    EXPECT_EQ(CoinIdField::identifierOfText(QStringLiteral("\u00e9\u00e8_.-._\u00ff")), QByteArray("\xe9\xe8.-.\xff"));
    EXPECT_EQ(CoinIdField::identifierOfText(QStringLiteral("AB_C")), QByteArray("ABC   "));
}

} // namespace
