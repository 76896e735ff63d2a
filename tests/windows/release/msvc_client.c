/* A client of the SDK built the way Microsoft's tools build programs:
   compiled for the MSVC target and linked with an MSVC-style linker against
   sdk\lib\Ravlin.lib and Pontel.lib, with no C runtime at all (so that no
   Microsoft library is needed to build it). Opens Com1, reads the serial
   number of the device at address 2 and prints "serial number N".
   Exit codes: 0 read, 1 no answer, 3 the port does not open. */
#include "CCTalkComDeclar.h"
#include "PontelDeclar.h"

__declspec(dllimport) void *__stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(void *file, const void *bytes, unsigned long count,
                                              unsigned long *written, void *overlapped);
__declspec(dllimport) void __stdcall ExitProcess(unsigned code);

static void put(const char *text)
{
    unsigned long count = 0, written = 0;
    while (text[count])
        ++count;
    WriteFile(GetStdHandle((unsigned long)-11), text, count, &written, 0); /* STD_OUTPUT_HANDLE */
}

void start(void)
{
    PortHandle port = ComInit(1, 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
    if (port == -1) {
        put("Com1 does not open\r\n");
        ExitProcess(3);
    }
    const int32_t serial = CCGet_Serial_Number(&port, 2);
    CloseCom(&port);
    if (serial < 0) {
        put("no answer\r\n");
        ExitProcess(1);
    }
    char digits[16];
    int at = 15;
    digits[at] = 0;
    uint32_t left = (uint32_t)serial;
    do {
        digits[--at] = (char)('0' + left % 10);
        left /= 10;
    } while (left);
    put("serial number ");
    put(digits + at);
    put("\r\n");
    ExitProcess(0);
}
