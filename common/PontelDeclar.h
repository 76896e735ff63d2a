// The serial port layer Pontel, as the library and the bench import it.
//
// Ports are numbered 1 to 9; the environment variable PONTEL_COM<n> names
// the device of port n (a path on Linux; COM12 or \\.\COM12 on Windows,
// where port n is COMn without it). Every call refuses a handle that Pontel
// did not open or has closed (0, -1, a stale number) without touching it.
//
// On Linux a handle is the descriptor of the open device. Each ComInit
// hands out a descriptor number not handed out recently (the numbers go
// round from 3 up to 1023), so a handle kept after its port was closed names
// no other port until about a thousand opens later; only after that can it
// name a port opened since, and the calls then reach that port. An open
// port is held with an advisory lock (flock) that the kernel drops when the
// holder closes it or ends, however it ends: a port is never left refused by
// a program that died without CloseCom.
//
// On Windows a handle is the Windows handle of the open port, opened without
// sharing: Windows refuses every other open until CloseCom or the end of
// the program.
#pragma once

#include <stdint.h>

#include "CCTalkComDeclar.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && defined(PONTEL_BUILDING)
#  define PONTEL_API __declspec(dllexport)
#elif defined(_WIN32)
#  define PONTEL_API __declspec(dllimport)
#elif defined(PONTEL_BUILDING)
#  define PONTEL_API __attribute__((visibility("default")))
#else
#  define PONTEL_API
#endif

// True when port n maps to a device that can be opened right now.
PONTEL_API CCBool PortComFree(uint8_t n);

// Opens port n exclusively in raw mode. Time-outs in milliseconds, 0 = none:
// a read fails when the gap between two bytes exceeds readInterval or the
// whole read exceeds readTotalPerByte * count + readTotalConstant; writes
// likewise. Returns the handle, or -1. Opening a port number that is already
// open closes the earlier handle first.
PONTEL_API PortHandle ComInit(uint8_t n, int32_t baud, int32_t dataBits, int32_t parity,
                              int32_t stopBits, int32_t readInterval, int32_t readTotalPerByte,
                              int32_t readTotalConstant, int32_t writeTotalPerByte,
                              int32_t writeTotalConstant);

// Closes the port; false for a handle that is not open.
PONTEL_API CCBool CloseCom(PortHandle *port);

// Writes count bytes; true when all were written in time.
PONTEL_API CCBool SendToCom(PortHandle *port, const uint8_t *bytes, int32_t count);

// Reads exactly count bytes; true when all arrived within the time-outs.
PONTEL_API CCBool RcvFromCom(PortHandle *port, uint8_t *buffer, int32_t count);

// Our additions for the bench's raw access to the port (the fast test):
// whether the handle is one Pontel has open, and a read of up to max bytes
// that ends when max bytes arrived or a time-out expired. Returns the number
// of bytes read, -1 for a handle that is not open.
PONTEL_API CCBool PontelIsOpen(PortHandle handle);
PONTEL_API int32_t PontelReadUpTo(PortHandle *port, uint8_t *buffer, int32_t max);

// How the last read of an exchange ended.
enum {
    PONTEL_READ_NONE = 0,      // nothing read since the request
    PONTEL_READ_COMPLETE = 1,  // every byte asked for came
    PONTEL_READ_TIMED_OUT = 2, // a time-out ended it first
    PONTEL_READ_FAILED = 3     // the device reported an error (unplugged, gone), or a write failed
};

// The last exchange on an open port: the bytes written since the read
// before them (the request), every byte read since (its echo and reply), and
// how the last read ended. Counts are of all the bytes; the arrays keep the
// first ones. number counts the exchanges since the port was opened (0:
// none yet), so that a caller can tell whether a call made one.
typedef struct PontelExchange {
    uint32_t number;
    int32_t lastRead;
    int32_t sentCount;
    int32_t receivedCount;
    uint8_t sent[260];
    uint8_t received[528];
} PontelExchange;

// Fills exchange; false (and exchange untouched) for a handle that is not
// open.
PONTEL_API CCBool PontelLastExchange(PortHandle handle, PontelExchange *exchange);

// Why port n could not be opened the last time ComInit or PortComFree
// tried. The cause is one of these; text (when given, size bytes with its
// terminating zero) gets one line that says it and what to do, such as
// "permission denied on /dev/ttyUSB0: add your user to the group dialout and
// log in again". PONTEL_OPEN_OK, and an empty text, when the last try
// succeeded or there was none.
enum {
    PONTEL_OPEN_OK = 0,
    PONTEL_OPEN_NO_DEVICE = 1,        // nothing at that name, or no device has the number
    PONTEL_OPEN_NOT_PERMITTED = 2,    // the user may not open it
    PONTEL_OPEN_IN_USE = 3,           // another program (or this one) holds it
    PONTEL_OPEN_NOT_SERIAL = 4,       // it is not a serial port
    PONTEL_OPEN_SETTINGS_REFUSED = 5  // the line settings were refused or are not supported
};
PONTEL_API int32_t PontelOpenFailure(uint8_t n, char *text, int32_t size);

#ifdef __cplusplus
}
#endif
