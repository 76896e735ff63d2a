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

} // namespace

HANDLE openUnshared(const std::string &path)
{
    if (path.empty())
        return INVALID_HANDLE_VALUE;
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* no sharing */, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
}

int openExclusive(const std::string &path)
{
    const HANDLE device = openUnshared(path);
    if (device == INVALID_HANDLE_VALUE)
        return -1;
    const int handle = HandleToLong(device);
    if (handle <= 0 || deviceHandle(handle) != device || !isSerialPort(device)) {
        CloseHandle(device);
        return -1;
    }
    return handle;
}

void releaseDevice(int handle)
{
    if (handle > 0)
        CloseHandle(deviceHandle(handle));
}

bool deviceFreeNow(const std::string &path)
{
    const HANDLE device = openUnshared(path);
    if (device == INVALID_HANDLE_VALUE)
        return false;
    const bool free = isSerialPort(device);
    CloseHandle(device);
    return free;
}

} // namespace pontel
