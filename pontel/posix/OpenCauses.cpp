#include "OpenCauses.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace pontel {

namespace {

std::string processName(long pid)
{
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

// The process holding a lock on the device, from /proc/locks (a line
// "1: FLOCK  ADVISORY  WRITE 1234 00:05:321 0 EOF" names the holder's pid
// and the file's device and inode); 0 when none can be seen.
long lockHolder(const struct stat &device)
{
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, file;
        long pid = 0;
        if (!(fields >> number >> kind >> mode >> access >> pid >> file))
            continue;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(file.c_str(), "%x:%x:%llu", &major, &minor, &inode) != 3)
            continue;
        if (inode == device.st_ino && makedev(major, minor) == device.st_dev)
            return pid;
    }
    return 0;
}

// Another process with the device open, from /proc/<pid>/fd (only those the
// user may look into); 0 when none can be seen.
long openedBy(const std::string &path)
{
    std::error_code error;
    const std::filesystem::path wanted = std::filesystem::canonical(path, error);
    if (error)
        return 0;
    for (const auto &entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos || std::stol(name) == getpid())
            continue;
        std::error_code inner;
        for (const auto &fd : std::filesystem::directory_iterator(entry.path() / "fd", inner)) {
            std::error_code link;
            if (std::filesystem::read_symlink(fd.path(), link) == wanted)
                return std::stol(name);
        }
    }
    return 0;
}

} // namespace

OpenFailure openErrorCause(int error, const std::string &path)
{
    switch (error) {
    case EACCES:
    case EPERM: {
        struct stat device{};
        const group *owner = stat(path.c_str(), &device) == 0 ? getgrgid(device.st_gid) : nullptr;
        if (owner && device.st_gid != 0)
            return {PONTEL_OPEN_NOT_PERMITTED, "permission denied on " + path + ": add your user to the group "
                                                   + owner->gr_name + " and log in again"};
        return {PONTEL_OPEN_NOT_PERMITTED, "permission denied on " + path + ": ask for read and write access to it"};
    }
    case EBUSY:
        return heldCause(path);
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return {PONTEL_OPEN_NO_DEVICE, "no such device: " + path + " (is the adapter plugged in?)"};
    case EISDIR:
        return notSerialCause(path);
    default:
        return {PONTEL_OPEN_NO_DEVICE, std::string(std::strerror(error)) + " (" + path + ")"};
    }
}

OpenFailure heldCause(const std::string &path)
{
    struct stat device{};
    long pid = stat(path.c_str(), &device) == 0 ? lockHolder(device) : 0;
    if (pid == 0)
        pid = openedBy(path);
    std::string who = "another program";
    if (pid == getpid())
        who = "this program";
    else if (pid > 0 && !processName(pid).empty())
        who = "another program (" + processName(pid) + ", process " + std::to_string(pid) + ")";
    return {PONTEL_OPEN_IN_USE, path + " is held by " + who + ": close it, or pick another port"};
}

OpenFailure notSerialCause(const std::string &path)
{
    return {PONTEL_OPEN_NOT_SERIAL, path + " is not a serial port"};
}

OpenFailure settingsCause(const std::string &path)
{
    return {PONTEL_OPEN_SETTINGS_REFUSED, path + " refused the line settings"};
}

} // namespace pontel
