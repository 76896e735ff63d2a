// The real ccsim program, started for a test: its terminal's path, its
// control input, and a clean end.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class CcsimProcess
{
public:
    // Starts `ccsim <arguments>` and reads the terminal's path from its first
    // line. Its trace (with --trace) goes to traceFile when one is named.
    explicit CcsimProcess(std::vector<std::string> arguments, std::string traceFile = {});
    ~CcsimProcess();
    CcsimProcess(const CcsimProcess &) = delete;
    CcsimProcess &operator=(const CcsimProcess &) = delete;

    const std::string &path() const { return m_path; }
    bool started() const { return !m_path.empty(); }

    // Sends one control command and returns the one line it prints.
    std::string control(const std::string &command);

    // Writes to its standard input without reading what it prints; false
    // when the write failed.
    bool sendInput(const std::string &bytes);
    // Waits until it has read everything sent to its standard input; false
    // when it did not within the wait.
    bool inputTaken(int timeoutMs);

    // Ends it by a signal, or by closing its standard input; the exit status
    // (-1 when it had to be killed).
    int terminate(int signal);
    int closeInput();

private:
    std::string readLine(int timeoutMs);
    int waitExit(int timeoutMs);

    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    std::string m_buffer;
    std::string m_path;
};
