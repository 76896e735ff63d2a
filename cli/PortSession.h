// The serial port of one run: named on the command line as Com1..Com9 or by
// its device (a path on Linux, COM12 on Windows: platform/DevicePaths.h), opened through Pontel at 9600 baud 8N1, closed at the end.
//
// Pontel opens ports by number only, with PONTEL_COM<n> as the explicit
// mapping of number n to a device. A device given on the command line is
// served that way: it takes the number whose variable already names it, or
// the highest number without a variable, before the port is opened.
#pragma once

#include <cstdint>
#include <string>

#include "CCTalkComDeclar.h"
#include "ReplyCheck.h"

namespace ravlin {

struct PortName
{
    uint8_t number = 1;
    std::string shown; // "Com1", or the path as given
    std::string path;  // the path when one was given
};

// Throws CliError (usage) for a name that is neither.
PortName resolvePortName(const std::string &text);

// The read time-outs of ComInit, in milliseconds.
struct ReadTimeouts
{
    int interval = 50;
    int perByte = 2;
    int constant = 500;
};

// Time-outs for commands that wait up to `timeoutMs` for a reply.
ReadTimeouts replyTimeouts(int timeoutMs);

class PortSession
{
public:
    // Maps and opens the port; throws CliError (port) when it cannot.
    PortSession(const std::string &name, ReadTimeouts timeouts);
    ~PortSession();
    PortSession(const PortSession &) = delete;
    PortSession &operator=(const PortSession &) = delete;

    PortHandle *handle() { return &m_handle; }
    const std::string &shown() const { return m_name.shown; }
    const ReadTimeouts &timeouts() const { return m_timeouts; }

    // Opens the port again: what the line left unread is thrown away, and
    // the new time-outs hold from now on.
    void reopen(ReadTimeouts timeouts);
    void reopen() { reopen(m_timeouts); }
    // Throws away what is still arriving until the line has been quiet for
    // 20 ms (at most about a second), so that the next request does not
    // talk over the end of a reply.
    void discardInput();
    // After a failed exchange: throws away everything that arrives for
    // kSettleWindowMs, and then until the line has been quiet for
    // kSettleGapMs, at most kSettleBoundMs in all, so that a reply that
    // comes late is not taken for the answer to the next request (in this
    // run or the next one).
    static constexpr int kSettleWindowMs = 1500;
    static constexpr int kSettleGapMs = 100;
    static constexpr int kSettleBoundMs = 5000;
    void settle();

    // The verdict on the exchange made since the last call, if one was made.
    bool newExchange(ReplyVerdict &verdict);

private:
    void open();
    // Throws away what arrives for windowMs, then until the line has been
    // quiet for gapMs, at most boundMs in all.
    void drain(int gapMs, int windowMs, int boundMs);

    PortName m_name;
    ReadTimeouts m_timeouts;
    PortHandle m_handle = 0;
    uint32_t m_checkedExchange = 0;
};

} // namespace ravlin
