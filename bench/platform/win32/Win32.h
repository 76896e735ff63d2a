// The Windows headers as the window's platform layer includes them: the
// lean set, without the min/max macros, and the port handle as a device.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#  define NOMINMAX
#endif
#include <windows.h>

#include "CCTalkComDeclar.h"

// The serial layer hands out the Windows handle of the open device as the
// port handle (a 32-bit value; kernel handles fit in 32 bits).
inline HANDLE portDevice(PortHandle handle)
{
    return LongToHandle(handle);
}

// Whether the handle is an open communications device: the check before any
// call that would act on it.
inline bool isCommDevice(HANDLE device)
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    return GetCommState(device, &dcb) != 0;
}
