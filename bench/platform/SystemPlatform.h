// The real platform: Qt message boxes, the system's sleeps, clock and
// locale, the normalisation tool started through the platform's shell, and
// the port through the serial layer. What differs between operating systems
// lives in posix/ and win32/ under the small interfaces PortInput.h,
// PortOutput.h, ToolProcess.h and Waits.h.
#pragma once

#include <QMessageBox>
#include <QPointer>

#include <memory>
#include <vector>

#include "BenchPlatform.h"

class ToolLauncher;

class SystemPlatform : public BenchPlatform
{
public:
    SystemPlatform();
    ~SystemPlatform() override;

    void showMessage(QWidget *owner, const QString &text) override;
    void showError(QWidget *owner, const QString &text) override;
    bool confirm(QWidget *owner, const QString &text) override;
    void showMessageAside(QWidget *owner, const QString &text) override;
    void showErrorAside(QWidget *owner, const QString &text) override;
    void withdrawAsideBox() override;

    void sleepMs(int milliseconds) override;
    QDateTime currentDateTime() override;
    QString shortDateFormat() override;

    bool startTool(const QString &programFile, const QString &parameter) override;
    void waitForTool(const QString &windowTitle) override;

    bool writePort(PortHandle handle, const uint8_t *bytes, int count) override;
    int readPortUpTo(PortHandle handle, uint8_t *buffer, int max) override;
    void discardPortInput(PortHandle handle) override;
    void settleAfterFailure(PortHandle handle) override;
    void dropUnreadInput(PortHandle handle) override;

private:
    void showAside(QWidget *owner, QMessageBox::Icon icon, const QString &text);

    std::unique_ptr<ToolLauncher> m_tool;
    QPointer<QMessageBox> m_aside;
    // Tools whose wait gave up on them while they ran; they end with the
    // bench at the latest.
    std::vector<std::unique_ptr<ToolLauncher>> m_leftRunning;
};
