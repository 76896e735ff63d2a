// The real message boxes of the platform layer, answered as a technician
// would: their title, icon, buttons and text as shown.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include "SystemPlatform.h"

namespace {

struct SeenBox {
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
};

// Waits for the next modal message box, records it and answers it with the
// button captioned answer (Escape when answer is empty).
void answerNextBox(SeenBox &seen, const QString &answer)
{
    auto *watcher = new QTimer;
    watcher->setInterval(10);
    QObject::connect(watcher, &QTimer::timeout, watcher, [watcher, &seen, answer] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        watcher->stop();
        watcher->deleteLater();
        seen.title = box->windowTitle();
        seen.icon = box->icon();
        seen.text = box->text();
        seen.format = box->textFormat();
        for (const QAbstractButton *button : box->buttons())
            seen.buttons << button->text();
        if (answer.isEmpty()) {
            box->reject();
            return;
        }
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == answer)
                button->click();
        }
    });
    watcher->start();
}

const QString kMarked = QStringLiteral("<b>ACME</b> &amp; Co");

TEST(RealDialogTest, PlainMessageAndErrorBoxes)
{
    SystemPlatform platform;
    struct Case {
        void (SystemPlatform::*show)(QWidget *, const QString &);
        QMessageBox::Icon icon;
    };
    for (const Case &c : {Case{&SystemPlatform::showMessage, QMessageBox::NoIcon},
                          Case{&SystemPlatform::showError, QMessageBox::Critical}}) {
        SeenBox seen;
        answerNextBox(seen, QString());
        (platform.*c.show)(nullptr, kMarked);
        EXPECT_EQ(seen.title, QStringLiteral("Brevant"));
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons.size(), 1);
        EXPECT_EQ(seen.text, kMarked);
        EXPECT_EQ(seen.format, Qt::PlainText);
    }
}

TEST(RealDialogTest, ConfirmationIsAWarningWithOuiAndNon)
{
    SystemPlatform platform;
    const std::pair<QString, bool> answers[] = {
        {QStringLiteral("&Oui"), true}, {QStringLiteral("&Non"), false}, {QString(), false},
    };
    for (const auto &[answer, confirmed] : answers) {
        SCOPED_TRACE(answer.toStdString());
        SeenBox seen;
        answerNextBox(seen, answer);
        EXPECT_EQ(platform.confirm(nullptr, kMarked), confirmed);
        EXPECT_EQ(seen.title, QStringLiteral("Avertissement"));
        EXPECT_EQ(seen.icon, QMessageBox::Warning);
        EXPECT_EQ(seen.buttons, (QStringList{QStringLiteral("&Oui"), QStringLiteral("&Non")}));
        EXPECT_EQ(seen.text, kMarked);
        EXPECT_EQ(seen.format, Qt::PlainText);
    }
}

} // namespace
