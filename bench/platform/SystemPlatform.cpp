#include "SystemPlatform.h"

#include <QApplication>
#include <QLocale>
#include <QPushButton>

#include <chrono>

#include "PontelDeclar.h"
#include "PortInput.h"
#include "PortOutput.h"
#include "ToolLauncher.h"
#include "Waits.h"
#include "WindowTexts.h"

namespace {

// A box shown in the middle of a command waits for the user: the pointer
// shows that, not the busy cursor of the command.
int execWaitingForUser(QMessageBox &box)
{
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
    return result;
}

} // namespace

SystemPlatform::SystemPlatform() = default;
SystemPlatform::~SystemPlatform() = default;

void SystemPlatform::showMessage(QWidget *owner, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), text,
                    QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    execWaitingForUser(box);
}

void SystemPlatform::showError(QWidget *owner, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), text,
                    QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    execWaitingForUser(box);
}

bool SystemPlatform::confirm(QWidget *owner, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Avertissement"), text,
                    QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    QPushButton *yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    execWaitingForUser(box);
    return box.clickedButton() == yes;
}

void SystemPlatform::showMessageAside(QWidget *owner, const QString &text)
{
    showAside(owner, QMessageBox::NoIcon, text);
}

void SystemPlatform::showErrorAside(QWidget *owner, const QString &text)
{
    showAside(owner, QMessageBox::Critical, text);
}

void SystemPlatform::showAside(QWidget *owner, QMessageBox::Icon icon, const QString &text)
{
    withdrawAsideBox();
    auto *box = new QMessageBox(icon, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok,
                                owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Neither modal nor activated: the keys keep going to the control that
    // has the focus, and OK closes the box whenever the user likes.
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    QWidget *typing = QApplication::focusWidget();
    box->show();
    // Where the platform activates every new window all the same, the
    // keyboard goes back at once to the window the user is typing in.
    if (typing && typing->window() != box)
        typing->window()->activateWindow();
    m_aside = box;
}

void SystemPlatform::withdrawAsideBox()
{
    if (m_aside)
        delete m_aside.data();
}

void SystemPlatform::sleepMs(int milliseconds)
{
    sleepMilliseconds(milliseconds);
}

QDateTime SystemPlatform::currentDateTime()
{
    return QDateTime::currentDateTime();
}

QString SystemPlatform::shortDateFormat()
{
    return QLocale::system().dateFormat(QLocale::ShortFormat);
}

bool SystemPlatform::startTool(const QString &programFile, const QString &parameter)
{
    // A tool left running by an earlier wait stays running.
    if (m_tool && m_tool->isRunning())
        m_leftRunning.push_back(std::move(m_tool));
    m_tool = std::make_unique<ToolLauncher>();
    return m_tool->start(programFile, parameter);
}

void SystemPlatform::waitForTool(const QString &windowTitle)
{
    if (m_tool)
        m_tool->waitWhileRunning(windowTitle);
}

bool SystemPlatform::writePort(PortHandle handle, const uint8_t *bytes, int count)
{
    const auto start = std::chrono::steady_clock::now();
    if (!SendToCom(&handle, bytes, count))
        return false;
    if (PontelIsOpen(handle))
        waitUntilSent(handle, count, start);
    return true;
}

int SystemPlatform::readPortUpTo(PortHandle handle, uint8_t *buffer, int max)
{
    return PontelReadUpTo(&handle, buffer, max);
}

void SystemPlatform::discardPortInput(PortHandle handle)
{
    if (PontelIsOpen(handle))
        settleLine(handle);
}

void SystemPlatform::settleAfterFailure(PortHandle handle)
{
    if (PontelIsOpen(handle))
        settleLine(handle, kLateReplyWindowMs);
}

void SystemPlatform::dropUnreadInput(PortHandle handle)
{
    if (PontelIsOpen(handle))
        ::dropUnreadInput(handle);
}
