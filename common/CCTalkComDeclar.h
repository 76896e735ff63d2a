// The C interface of the ccTalk protocol library Ravlin: the types that cross
// the boundary between the bench and the library, and the 34 exports.
//
// Every buffer is owned by the caller and valid for the one call. Outputs that
// an export does not name on failure are left untouched. "Reference" arguments
// are pointers that must not be null.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Handle of an open serial port as ComInit returned it: 0 before any
// connection attempt, -1 after a failed one.
typedef int32_t PortHandle;

// One-byte boolean: 0 is false, 1 is true.
typedef uint8_t CCBool;

// 256-byte text: byte 0 holds the count n (0 to 255), bytes 1 to n the
// characters (bytes as the device sent them); the rest is undefined.
typedef struct CountedString {
    uint8_t bytes[256];
} CountedString;

#if defined(_WIN32) && defined(RAVLIN_BUILDING)
#  define RAVLIN_API __declspec(dllexport)
#elif defined(_WIN32)
#  define RAVLIN_API __declspec(dllimport)
#elif defined(RAVLIN_BUILDING)
#  define RAVLIN_API __attribute__((visibility("default")))
#else
#  define RAVLIN_API
#endif

// ---- Identity, addressing and comms ---------------------------------------

// Header 254. On success *address becomes the source of the reply (whichever
// device answered); on failure it is left as it was.
RAVLIN_API CCBool CCGet_Simple_Poll(PortHandle *port, uint8_t *address);
// Header 253, always to address 0. Returns the first bare byte that answers,
// 0 on failure. Further answers stay in the port's input.
RAVLIN_API uint8_t CCGet_Adress(PortHandle *port);
// Header 251 to currentAddress with newAddress as data; the acknowledgement
// must come from newAddress (from any source when newAddress is 0).
RAVLIN_API CCBool CCSet_Adress(PortHandle *port, uint8_t currentAddress, uint8_t newAddress);
// Header 250. On success *address becomes the acknowledgement's source.
RAVLIN_API CCBool CCSet_Rand_Adress(PortHandle *port, uint8_t *address);
// Header 249. On success *units := d0, *value := d1.
RAVLIN_API CCBool CCGet_Polling(PortHandle *port, uint8_t address, uint8_t *units, uint8_t *value);
// Header 248. Status byte, 255 on failure.
RAVLIN_API uint8_t CCGet_Status(PortHandle *port, uint8_t address);
// Headers 246, 245, 244, 241, 192. *result holds the reply's data bytes
// from whichever source and with whichever header (only the checksum is
// tested); it is empty on failure, for a valid reply without data, and for
// a reply of 255 data bytes.
RAVLIN_API void CCGet_Manufacturer(CountedString *result, PortHandle *port, uint8_t address);
RAVLIN_API void CCGet_Equipement(CountedString *result, PortHandle *port, uint8_t address);
RAVLIN_API void CCGet_Product(CountedString *result, PortHandle *port, uint8_t address);
// Header 243. Database version, 0 on failure.
RAVLIN_API uint8_t CCGet_DB(PortHandle *port, uint8_t address);
// Header 242. d0 + (d1 << 8) + (d2 << 16); -1 on failure.
RAVLIN_API int32_t CCGet_Serial_Number(PortHandle *port, uint8_t address);
RAVLIN_API void CCSoftVersion(CountedString *result, PortHandle *port, uint8_t address);
RAVLIN_API void CCGet_BuildCode(CountedString *result, PortHandle *port, uint8_t address);
// Headers 196 and 195, then the base-year request. On a failed date reply
// the outputs hold 1900-01-01 and the result is false. The manufacturing
// date is also false for a month outside 1..12 (outputs then hold the
// decoded values); the modification date has no range test.
//
// C++ callers: when the base-year text does not convert to an integer these
// two exports, like CCRequest_Base_Year, throw IntegerConversionError
// (IntegerText.h), whose what() is "'<text>' n'est pas une valeur entière
// correcte"; the date outputs are then not written.
//
// C callers, and callers through a foreign-function layer (Python's ctypes):
// C cannot catch this error, and an exception that reaches a C frame ends
// the program. It comes from any device without header 170 (a NAK, or no
// answer) or whose base year is not a number. Call these three exports
// through a small C++ function that catches it and returns a code (the
// README shows one, "Calling Ravlin from C"); build it into the C program,
// or into a shared library of its own for a foreign-function caller.
RAVLIN_API CCBool CCGet_Manufacturing_Date(PortHandle *port, uint8_t address,
                                           uint16_t *year, uint16_t *month, uint16_t *day);
RAVLIN_API CCBool CCGet_Modification_Date(PortHandle *port, uint8_t address,
                                          uint16_t *year, uint16_t *month, uint16_t *day);
// Header 170 after a 500 ms wait; the reply text converted to an integer.
// Throws IntegerConversionError (see above) when it does not convert.
RAVLIN_API int32_t CCRequest_Base_Year(PortHandle *port, uint8_t address);
// Header 169. Address mode byte, 0 on failure.
RAVLIN_API uint8_t CCGet_Adress_Mode(PortHandle *port, uint8_t address);
// Headers 4 and 2. output[0..2] := d0, d1, d2; all three 255 on failure.
RAVLIN_API CCBool CCGet_cctalk_Version(PortHandle *port, uint8_t address, uint8_t output[3]);
RAVLIN_API CCBool CCGet_CommsStatus(PortHandle *port, uint8_t address, uint8_t output[3]);
// Header 3, acknowledged by address.
RAVLIN_API CCBool CCClearsCom(PortHandle *port, uint8_t address);
// Header 1. On success *address becomes the acknowledgement's source.
RAVLIN_API CCBool CCReSet(PortHandle *port, uint8_t *address);

// ---- I/O, channels, coins and raw commands --------------------------------

// Header 240 with the mask (1 << solenoid). A solenoid number of 8 or more
// has no bit in the mask: false, and nothing is sent.
RAVLIN_API CCBool CCTestSolenoid(PortHandle *port, uint8_t address, uint8_t solenoid);
// Header 238 (mode 0) or 233 (mode 1), i.e. 238 - 5 * mode, with the mask.
RAVLIN_API CCBool CCTestOutput(PortHandle *port, uint8_t address, uint8_t mask, uint8_t mode);
// Headers 237 and 236. Line state byte, 0 on failure.
RAVLIN_API uint8_t CCGet_InputLines(PortHandle *port, uint8_t address);
RAVLIN_API uint8_t CCGet_Opto_Status(PortHandle *port, uint8_t address);
// Header 231 with the mask low byte first.
RAVLIN_API CCBool CCSet_Channel_Enable(PortHandle *port, uint8_t address, uint16_t mask);
// Header 230. d0 + (d1 << 8), 0 on failure.
RAVLIN_API uint16_t CCGet_Channel_Enable(PortHandle *port, uint8_t address);
// Header 229. Copies the reply's data bytes (up to 254) to destination;
// writes nothing on failure. destination must have room for 254 bytes.
RAVLIN_API void CCGet_Buffer(PortHandle *port, uint8_t address, uint8_t *destination);
// Header 227. 1 when bit 0 of the reply byte is 0, 0 when it is 1; 0 when
// the request or the reply fails, like every boolean export.
RAVLIN_API CCBool CCGet_Master_Inhibit(PortHandle *port, uint8_t address);
// Header 210 with channel and path.
RAVLIN_API CCBool CCModify_Sorter(PortHandle *port, uint8_t address, uint8_t channel, uint8_t path);
// Header 209 with channel. The channel's path, 0 on failure.
RAVLIN_API uint8_t CCRequest_Sorter(PortHandle *port, uint8_t address, uint8_t channel);
// Header 185 with the coin number and the 6 identifier bytes.
RAVLIN_API CCBool CCset_CoinId(PortHandle *port, uint8_t address, uint8_t coin, const uint8_t identifier[6]);
// Header 184 with the coin number. *result holds all the identifier
// characters the device sent (usually 6, shorter and longer ones whole); it
// is empty on failure, for a reply without data and for one of 255 bytes.
RAVLIN_API void CCGet_CoinId(CountedString *result, PortHandle *port, uint8_t address, uint8_t coin);

// Raw pass-through. request: 255-byte block (destination, length n <= 251,
// source, header, n data bytes; no checksum); the echo of the data is read
// back into it. reply: 260-byte buffer. Nothing in the reply is tested.
// - headers 250 to 253 (the header as echoed): bare bytes are collected
//   from offset 5 until none arrives in time or the buffer is full (255
//   bytes); byte 0 = 0, byte 1 = their count, byte 2 = 0, bytes 3 and 4
//   untouched; true when at least one byte arrived;
// - other headers: the reply message as received from offset 0; when one
//   of its reads fails, false, and the buffer keeps what had arrived;
// - a failed write or echo read, or a length above 251 (nothing is then
//   sent): false with bytes 0 to 253 zeroed.
RAVLIN_API CCBool CCSend_Command(PortHandle *port, uint8_t request[255], uint8_t reply[260]);

#ifdef __cplusplus
}
#endif
