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
    // The same two boxes for a handler that runs at every keystroke: shown
    // without taking the keyboard and without waiting for OK, so that the
    // typing goes on in the control that has the focus. One such box at a
    // time: a new one replaces the one before.
    virtual void showMessageAside(QWidget *owner, const QString &text) { showMessage(owner, text); }
    virtual void showErrorAside(QWidget *owner, const QString &text) { showError(owner, text); }
    // Closes the box shown aside, if it is still up.
    virtual void withdrawAsideBox() {}
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

    // Raw access to the open port for the fast test. Each refuses a handle
    // that the serial layer did not open without touching any descriptor.
    // The write is synchronous: it returns once the bytes are on the wire,
    // no sooner than the line can have carried them.
    virtual bool writePort(PortHandle handle, const uint8_t *bytes, int count) = 0;
    // Up to max bytes; the number read, -1 when the handle is not open.
    virtual int readPortUpTo(PortHandle handle, uint8_t *buffer, int max) = 0;
    // Ends the open port's traffic: drops output not sent yet, waits for the
    // line to be quiet for a moment (the wait is bounded), then throws away
    // all input. The default keeps everything, for platforms without raw
    // access to the port.
    virtual void discardPortInput(PortHandle handle) { (void)handle; }
    // After a command whose exchange failed: throws away what arrives for
    // kLateReplyWindowMs (a reply that comes after the time-out), then
    // settles the line as discardPortInput does, so that the next request
    // does not read it as its own reply.
    static constexpr int kLateReplyWindowMs = 1500;
    virtual void settleAfterFailure(PortHandle handle) { discardPortInput(handle); }
    // Throws away at once what the open port has received and nobody has
    // read, without waiting for anything.
    virtual void dropUnreadInput(PortHandle handle) { (void)handle; }
};
