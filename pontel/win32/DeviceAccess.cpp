#include "DeviceAccess.h"

namespace pontel {

namespace {

// A serial port answers GetCommState; a file, a pipe or a console does not.
bool isSerialPort(HANDLE device)
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    return GetCommState(device, &dcb) != 0;
}

// The cause of a failed CreateFileA: Windows reports a port that another
// program holds as access denied.
OpenFailure openErrorCause(DWORD error, const std::string &path)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return {PONTEL_OPEN_NO_DEVICE, "no such port: " + path + " (is the adapter plugged in?)"};
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return {PONTEL_OPEN_IN_USE, path + " is in use by another program, or access to it is denied: close "
                                           "the other program, or pick another port"};
    default:
        return {PONTEL_OPEN_NO_DEVICE, "cannot open " + path + " (Windows error " + std::to_string(error) + ")"};
    }
}

OpenFailure notSerialCause(const std::string &path)
{
    return {PONTEL_OPEN_NOT_SERIAL, path + " is not a serial port"};
}

} // namespace

OpenFailure settingsCause(const std::string &path)
{
    return {PONTEL_OPEN_SETTINGS_REFUSED, path + " refused the line settings"};
}

HANDLE openUnshared(const std::string &path)
{
    if (path.empty())
        return INVALID_HANDLE_VALUE;
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* no sharing */, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
}

int openExclusive(const std::string &path, OpenFailure &why)
{
    const HANDLE device = openUnshared(path);
    if (device == INVALID_HANDLE_VALUE) {
        why = openErrorCause(GetLastError(), path);
        return -1;
    }
    const int handle = HandleToLong(device);
    if (handle <= 0 || deviceHandle(handle) != device || !isSerialPort(device)) {
        CloseHandle(device);
        why = notSerialCause(path);
        return -1;
    }
    return handle;
}

void releaseDevice(int handle)
{
    if (handle > 0)
        CloseHandle(deviceHandle(handle));
}

bool deviceFreeNow(const std::string &path, OpenFailure &why)
{
    const HANDLE device = openUnshared(path);
    if (device == INVALID_HANDLE_VALUE) {
        why = openErrorCause(GetLastError(), path);
        return false;
    }
    const bool free = isSerialPort(device);
    CloseHandle(device);
    if (!free)
        why = notSerialCause(path);
    return free;
}

} // namespace pontel
