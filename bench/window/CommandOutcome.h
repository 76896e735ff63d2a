// Tells the technician that a command failed, and why. The serial layer
// records each exchange; after a command (or each channel of "Read All" and
// "Write All") the window checks it against the reply ccTalk defines for its
// request. A failure turns the command's header label red, with the reason
// as its tooltip, until the command next succeeds; and the line is let
// settle, so that a reply still on its way is not read as the answer to the
// next request. The displays keep what the handler wrote.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

#include "CCTalkComDeclar.h"

class BenchPlatform;
class QLabel;

class CommandOutcome
{
public:
    explicit CommandOutcome(BenchPlatform &platform) : m_platform(platform) {}

    // Before a command, on the port it starts with.
    void begin(PortHandle handle);
    // After one part of it: the exchange it made, if any, is checked;
    // `part` names it in the report ("channel 3").
    void step(PortHandle handle, const QString &portName, const QString &part = {});
    // After the command: its last part is checked, and the outcome shown on
    // its label (none: nothing shown). A command that made no exchange
    // leaves the label as it was, unless no port is open.
    void finish(QLabel *label, PortHandle handle, const QString &portName);

private:
    BenchPlatform &m_platform;
    PortHandle m_handle = 0;
    uint32_t m_exchange = 0;
    bool m_exchanged = false;
    QStringList m_failures;
};

// The failure look of a header label: red, the reasons as its tooltip; an
// empty list gives it back its own look.
void showCommandFailures(QLabel *label, const QStringList &failures);
