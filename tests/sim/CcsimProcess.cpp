#include "CcsimProcess.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

CcsimProcess::CcsimProcess(std::vector<std::string> arguments, std::string traceFile)
{
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
        return;
    m_pid = fork();
    if (m_pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        const int err = open(traceFile.empty() ? "/dev/null" : traceFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0)
            dup2(err, STDERR_FILENO);
        std::vector<char *> argv;
        std::string program = CCSIM_PATH;
        argv.push_back(program.data());
        for (auto &argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    m_in = in[1];
    m_out = out[0];
    if (m_pid > 0)
        m_path = readLine(10000);
}

CcsimProcess::~CcsimProcess()
{
    if (m_pid > 0)
        terminate(SIGTERM);
    if (m_in >= 0)
        close(m_in);
    if (m_out >= 0)
        close(m_out);
}

std::string CcsimProcess::readLine(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto end = m_buffer.find('\n');
        if (end != std::string::npos) {
            std::string line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd fd{m_out, POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            return {};
        char chunk[512];
        const ssize_t n = read(m_out, chunk, sizeof chunk);
        if (n <= 0)
            return {};
        m_buffer.append(chunk, static_cast<size_t>(n));
    }
}

std::string CcsimProcess::control(const std::string &command)
{
    const std::string line = command + "\n";
    if (write(m_in, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        return {};
    return readLine(10000);
}

bool CcsimProcess::sendInput(const std::string &bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = write(m_in, bytes.data() + sent, bytes.size() - sent);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

bool CcsimProcess::inputTaken(int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        int queued = 0;
        if (ioctl(m_in, FIONREAD, &queued) == 0 && queued == 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int CcsimProcess::waitExit(int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
    return -1;
}

int CcsimProcess::terminate(int signal)
{
    if (m_pid <= 0)
        return -1;
    kill(m_pid, signal);
    return waitExit(10000);
}

int CcsimProcess::closeInput()
{
    if (m_pid <= 0)
        return -1;
    close(m_in);
    m_in = -1;
    return waitExit(10000);
}
