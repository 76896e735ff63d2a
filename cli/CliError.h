// The one kind of failure the tool reports: a one-line message and the exit
// status it ends with. Commands throw it; the runner prints
// "ravlin: <command>: <message>" on standard error.
#pragma once

#include <stdexcept>
#include <string>

namespace ravlin {

// Exit statuses, as `ravlin --help` lists them.
enum ExitStatus {
    kExitOk = 0,
    kExitDevice = 1,   // no reply, bad reply, refused, differences after apply
    kExitUsage = 2,    // bad arguments, unreadable set-up file
    kExitPort = 3,     // the port cannot be opened
    kExitInterrupted = 130,
};

class CliError : public std::runtime_error
{
public:
    CliError(int status, const std::string &message, int probeKind = -1)
        : std::runtime_error(message), m_status(status), m_probeKind(probeKind)
    {
    }
    int status() const { return m_status; }
    // For a device failure: the Probe::Kind of what the device answered,
    // -1 when not known.
    int probeKind() const { return m_probeKind; }

private:
    int m_status;
    int m_probeKind;
};

inline CliError usageError(const std::string &message)
{
    return CliError(kExitUsage, message);
}

} // namespace ravlin
