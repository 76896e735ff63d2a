#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "PontelDeclar.h"

PseudoTerminal::PseudoTerminal()
{
    m_peer = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_peer < 0 || grantpt(m_peer) != 0 || unlockpt(m_peer) != 0)
        throw std::runtime_error("no pseudo-terminal");
    char name[128];
    if (ptsname_r(m_peer, name, sizeof name) != 0)
        throw std::runtime_error("no pseudo-terminal name");
    m_path = name;
}

PseudoTerminal::~PseudoTerminal()
{
    if (m_peer >= 0)
        close(m_peer);
}

void PseudoTerminal::send(const std::vector<uint8_t> &bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = write(m_peer, bytes.data() + sent, bytes.size() - sent);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error("peer write failed");
        sent += size_t(n);
    }
}

std::vector<uint8_t> PseudoTerminal::receive(size_t count, std::chrono::milliseconds wait)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + wait;
    std::vector<uint8_t> bytes;
    while (bytes.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        pollfd entry{m_peer, POLLIN, 0};
        if (poll(&entry, 1, int(left.count())) <= 0 || !(entry.revents & POLLIN))
            break;
        uint8_t chunk[4096];
        const ssize_t n = read(m_peer, chunk, std::min(sizeof chunk, count - bytes.size()));
        if (n <= 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

void PseudoTerminal::hangUp()
{
    if (m_peer >= 0)
        close(m_peer);
    m_peer = -1;
}

ScopedEnvironment::ScopedEnvironment(std::string name, const std::string &value)
    : m_name(std::move(name))
{
    if (const char *old = std::getenv(m_name.c_str())) {
        m_hadValue = true;
        m_oldValue = old;
    }
    if (value.empty())
        unsetenv(m_name.c_str());
    else
        setenv(m_name.c_str(), value.c_str(), 1);
}

ScopedEnvironment::~ScopedEnvironment()
{
    if (m_hadValue)
        setenv(m_name.c_str(), m_oldValue.c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

int32_t openPort(uint8_t n, const Timeouts &t)
{
    return ComInit(n, 9600, 8, 0, 1, t.readInterval, t.readPerByte, t.readConstant, t.writePerByte,
                   t.writeConstant);
}

long long millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
}

bool exclusiveMode(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno == EBUSY;
    int exclusive = 0;
    const bool set = ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
    ::close(fd);
    return set;
}
