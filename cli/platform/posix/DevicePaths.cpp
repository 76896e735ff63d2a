#include "DevicePaths.h"

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

namespace ravlin {

bool isDevicePath(const std::string &text)
{
    return text.find('/') != std::string::npos;
}

const char *devicePathKind()
{
    return "a device path";
}

std::string missingDeviceReason(const std::string &path)
{
    std::error_code error;
    return std::filesystem::exists(path, error) ? std::string() : "no such file";
}


bool stderrIsTerminal()
{
    return isatty(STDERR_FILENO) != 0;
}

void setEnvironment(const std::string &name, const std::string &value)
{
    setenv(name.c_str(), value.c_str(), 1);
}

} // namespace ravlin
