// The pseudo-terminal the ccsim program serves: the master side is ours, the
// slave side is the "serial port" a host opens. We keep a descriptor of the
// slave open ourselves, so that the master never sees a hang-up when the host
// closes the port and opens it again.
#pragma once

#include <string>

namespace ccsim {

class PseudoTerminal
{
public:
    // Opens the pair in raw mode; throws std::runtime_error on failure.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    int masterFd() const { return m_master; }
    const std::string &slavePath() const { return m_slavePath; }

    // Readable when a host closed the terminal (-1 when closes cannot be
    // watched).
    int closeWatchFd() const { return m_closeWatch; }
    // Called when closeWatchFd() is readable. A host that put the terminal
    // in exclusive mode (TIOCEXCL) and died leaves that mode behind, and
    // then every later open by a non-root user fails; so once a host has
    // closed, exclusive mode that nobody's advisory lock (flock) backs any
    // more is cleared. True when it was.
    bool hostClosed();

private:
    bool lockedBySomeone() const;

    int m_master = -1;
    int m_slave = -1;
    int m_closeWatch = -1;
    std::string m_slavePath;
};

// A symbolic link to the terminal, removed when the object goes (only if it
// still points where we made it point). A stale link from an earlier run is
// replaced; any other file in the way is an error.
class TerminalLink
{
public:
    TerminalLink(std::string path, const std::string &target);
    ~TerminalLink();
    TerminalLink(const TerminalLink &) = delete;
    TerminalLink &operator=(const TerminalLink &) = delete;

    // Removes the link now (also safe to call from cleanup paths twice).
    void remove();

private:
    std::string m_path;
    std::string m_target;
};

} // namespace ccsim
