// The window on a real port: the real Pontel opens the ccsim program's line
// (its pseudo-terminal as Com1 on Linux, a COM port of Wine's on Windows),
// the real Ravlin talks to its virtual validator.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "CcsimLine.h"
#include "FakePlatform.h"
#include "First.h"

namespace {

class EndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_ccsim = std::make_unique<CcsimLine>(CcsimLine::Pacing::Off);
        ASSERT_TRUE(m_ccsim->started());
    }

    QString text(const QString &name) { return m_form->findChild<QLabel *>(name)->text(); }
    void click(const QString &name)
    {
        auto *button = m_form->findChild<QAbstractButton *>(name);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    std::unique_ptr<CcsimLine> m_ccsim;
    FakePlatform m_platform;
    std::unique_ptr<TMainForm> m_form;
};

TEST_F(EndToEndTest, TheWindowReadsTheVirtualValidator)
{
    m_form = std::make_unique<TMainForm>(m_platform);
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    auto *ports = m_form->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    ASSERT_GE(ports->count(), 1);
    EXPECT_EQ(ports->itemText(0), QStringLiteral("Com1"));
    const int line = ports->findText(m_ccsim->portText());
    ASSERT_GE(line, 0) << "the line's port is listed";
    ports->setCurrentIndex(line);

    click(QStringLiteral("Button41"));
    EXPECT_TRUE(m_platform.messages.isEmpty());
    EXPECT_EQ(text(QStringLiteral("StaticText1")), QStringLiteral("1234567"));

    click(QStringLiteral("BitBtn5"));
    EXPECT_EQ(text(QStringLiteral("Label1")), QStringLiteral("  2"));
    click(QStringLiteral("BitBtn11"));
    EXPECT_EQ(text(QStringLiteral("StaticText3")), QStringLiteral("Virtual Validators"));
    click(QStringLiteral("Button42"));
    EXPECT_EQ(text(QStringLiteral("Label6")), QStringLiteral("15/03/2019"));
    EXPECT_TRUE(m_platform.errors.isEmpty());

    click(QStringLiteral("BitBtn4"));
    EXPECT_FALSE(m_form->isVisible());
}

} // namespace
