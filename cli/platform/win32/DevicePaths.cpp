#include "DevicePaths.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <io.h>

namespace ravlin {

namespace {

// "COM" and a port number (digits, not starting with 0), in any case.
bool isComName(const std::string &text)
{
    if (text.size() < 4 || (text[0] | 0x20) != 'c' || (text[1] | 0x20) != 'o' || (text[2] | 0x20) != 'm'
        || text[3] == '0')
        return false;
    for (size_t i = 3; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

} // namespace

// COM12, com12, \\.\COM12, and any other device name in the \\.\ space.
// Pontel opens a COM name through its \\.\ form.
bool isDevicePath(const std::string &text)
{
    return isComName(text) || (text.size() > 4 && text.compare(0, 4, "\\\\.\\") == 0);
}

const char *devicePathKind()
{
    return "a port name such as COM12";
}

// Windows only tells when the port is opened.
std::string missingDeviceReason(const std::string &)
{
    return {};
}


bool stderrIsTerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}

void setEnvironment(const std::string &name, const std::string &value)
{
    _putenv_s(name.c_str(), value.c_str());
}

} // namespace ravlin
