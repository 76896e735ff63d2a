#include "Interrupt.h"

#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace ravlin {

namespace {
// Runs on a thread of its own that the system starts for the event. Ctrl-C
// and Ctrl-Break end the loop as SIGINT does on Linux. When the console
// window closes the process ends as soon as the handler returns: it waits a
// little for the loop to see the flag and close the port.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        noteInterrupt();
        return TRUE;
    case CTRL_CLOSE_EVENT:
        noteInterrupt();
        Sleep(500);
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

void catchInterrupt()
{
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

} // namespace ravlin
