#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace ccsim {

namespace {
std::runtime_error systemError(const std::string &what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}
} // namespace

PseudoTerminal::PseudoTerminal()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        throw systemError("posix_openpt");
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        close(m_master);
        throw systemError("grantpt/unlockpt");
    }
    const char *name = ptsname(m_master);
    if (!name) {
        close(m_master);
        throw systemError("ptsname");
    }
    m_slavePath = name;
    m_slave = open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0) {
        close(m_master);
        throw systemError("open " + m_slavePath);
    }
    // Raw: no echo by the terminal itself (the bus echoes), no line editing,
    // no translation of any byte. 9600 8N1 as a ccTalk line.
    termios settings{};
    tcgetattr(m_slave, &settings);
    cfmakeraw(&settings);
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    settings.c_cflag |= CLOCAL | CREAD;
    tcsetattr(m_slave, TCSANOW, &settings);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal()
{
    if (m_slave >= 0)
        close(m_slave);
    if (m_master >= 0)
        close(m_master);
}

TerminalLink::TerminalLink(std::string path, const std::string &target) : m_path(std::move(path)), m_target(target)
{
    struct stat info{};
    if (lstat(m_path.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode))
            throw std::runtime_error("--link: " + m_path + " exists and is not a symbolic link");
        unlink(m_path.c_str());
    }
    if (symlink(target.c_str(), m_path.c_str()) != 0)
        throw systemError("symlink " + m_path);
}

TerminalLink::~TerminalLink()
{
    remove();
}

void TerminalLink::remove()
{
    if (m_path.empty())
        return;
    char buffer[4096];
    const ssize_t n = readlink(m_path.c_str(), buffer, sizeof buffer - 1);
    if (n >= 0 && std::string(buffer, static_cast<size_t>(n)) == m_target)
        unlink(m_path.c_str());
    m_path.clear();
}

} // namespace ccsim
