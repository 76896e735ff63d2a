#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
    m_closeWatch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_closeWatch >= 0 && inotify_add_watch(m_closeWatch, name, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        close(m_closeWatch);
        m_closeWatch = -1;
    }
}

bool PseudoTerminal::hostClosed()
{
    char events[4096];
    while (read(m_closeWatch, events, sizeof events) > 0) {
    }
    int exclusive = 0;
    if (ioctl(m_slave, TIOCGEXCL, &exclusive) != 0 || exclusive == 0 || lockedBySomeone())
        return false;
    return ioctl(m_slave, TIOCNXCL) == 0;
}

// Whether a process holds an advisory lock on the terminal, from the
// kernel's table of locks: "1: FLOCK ADVISORY WRITE <pid> <maj>:<min>:<inode> ...".
bool PseudoTerminal::lockedBySomeone() const
{
    struct stat info{};
    if (fstat(m_slave, &info) != 0)
        return true; // cannot tell: leave things as they are
    char device[64];
    std::snprintf(device, sizeof device, "%02x:%02x:%lu", major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long>(info.st_ino));
    std::ifstream locks("/proc/locks");
    if (!locks)
        return true;
    for (std::string line; std::getline(locks, line);) {
        std::istringstream words(line);
        std::string word;
        while (words >> word)
            if (word == device)
                return true;
    }
    return false;
}

PseudoTerminal::~PseudoTerminal()
{
    if (m_closeWatch >= 0)
        close(m_closeWatch);
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
