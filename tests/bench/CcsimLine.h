// The ccsim program behind a real port of the window, for the end-to-end
// tests: on Linux one started for the test on a pseudo-terminal and mapped
// to Com1; on Windows the one that run-under-wine.sh serves on a COM port of
// Wine's with those options.
#pragma once

#include <QString>

#include <string>

#include "CCTalkComDeclar.h"

class CcsimLine
{
public:
    enum class Pacing { Off, On }; // --no-pacing, or bytes at 9600 baud
    explicit CcsimLine(Pacing pacing);
    ~CcsimLine();
    CcsimLine(const CcsimLine &) = delete;
    CcsimLine &operator=(const CcsimLine &) = delete;

    bool started() const;
    // The port box's text that names the line: "Com1", "Com2".
    QString portText() const;
    // Sends one control command to ccsim and returns the line it answers.
    std::string control(const std::string &command);

    // How many received bytes wait unread at the open port handle; -1 when
    // the system cannot tell.
    static int unreadBytes(PortHandle handle);

private:
    struct Running;
    Running *m_running;
};
