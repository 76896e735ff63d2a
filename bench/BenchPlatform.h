// The window's seam to the platform: dialogs, waits, the clock, the external
// normalisation tool and raw access to the open port. The window calls only
// this interface, so that tests can answer dialogs and skip waits.
#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>

#include "CCTalkComDeclar.h"

class QWidget;

class BenchPlatform
{
public:
    virtual ~BenchPlatform() = default;

    // Plain message box: title "Brevant", one OK button, no icon.
    virtual void showMessage(QWidget *owner, const QString &text) = 0;
    // Error box: title "Brevant", error icon, one OK button.
    virtual void showError(QWidget *owner, const QString &text) = 0;
    // Warning dialog "Avertissement" with "&Oui" and "&Non"; true for Oui.
    virtual bool confirm(QWidget *owner, const QString &text) = 0;

    // Blocks the calling (user-interface) thread.
    virtual void sleepMs(int milliseconds) = 0;
    // Local wall-clock date and time.
    virtual QDateTime currentDateTime() = 0;
    // The user's short date format (QDate format string), read once at start.
    virtual QString shortDateFormat() = 0;

    // Starts the program file as the platform shell would (current directory
    // first, then the program search path) with parameter as its one
    // argument (none when empty). False when it could not be started.
    virtual bool startTool(const QString &programFile, const QString &parameter) = 0;
    // Blocks while the tool started last is running and, where the session
    // has an X11 display, while a top-level window with this title (compared
    // without regard to case) exists. Where windows can be seen, a tool
    // whose window has been gone for ten seconds is not waited for longer.
    virtual void waitForTool(const QString &windowTitle) = 0;

    // Raw access to the open port for the fast test. Both refuse a handle
    // that the serial layer did not open without touching any descriptor.
    virtual bool writePort(PortHandle handle, const uint8_t *bytes, int count) = 0;
    // Up to max bytes; the number read, -1 when the handle is not open.
    virtual int readPortUpTo(PortHandle handle, uint8_t *buffer, int max) = 0;
    // Throws away what the open port has received and nobody has read, once
    // the line has been quiet for a moment (the wait is bounded). Does
    // nothing for a handle that the serial layer did not open. The default
    // keeps the input, for platforms without raw access to the port.
    virtual void discardPortInput(PortHandle handle) { (void)handle; }
};
