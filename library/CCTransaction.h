// The transaction engine: one write-and-echo exchange with the device, and the
// readers of the reply shapes (acknowledgement, fixed reply of 1 to 3 data
// bytes, text, date). Each export is a request followed by one of these.
//
// A false result from the serial layer ends an operation at once: nothing is
// retried, flushed or resynchronised, and a reply that fails a test has been
// read all the same.
#pragma once

#include <cstdint>

#include "CCTalkComDeclar.h"

namespace ravlin {

constexpr int AckSize = 5;

// Writes CCMessage (head, data when there is any, checksum) in up to three
// writes, then reads the echo back into it with reads of the same sizes. The
// echo is not compared with what was sent; only a failed read counts.
bool CCTransact(PortHandle handle);

// Fills CCMessage with a request from the host (source 1) to address,
// referring to the n data bytes (none when n is 0), checksums it and runs
// CCTransact. The echo of the data is read back into data.
bool CCSendRequest(PortHandle *port, uint8_t address, uint8_t header, uint8_t *data = nullptr, int n = 0);

// Reads a fixed reply of n data bytes (n + 5 bytes in one read) into reply:
// right checksum, to the host, length n, header 0, from address (from any
// source when address is 0). The data are reply[4 .. 3 + n].
bool CCReadFixed(PortHandle *port, uint8_t address, int n, uint8_t *reply);

// Sends a request (n data bytes, none when n is 0) and, when the exchange
// succeeded, reads a fixed reply of replyLength data bytes into reply with
// CCReadFixed. reply holds replyLength + 5 bytes.
bool CCRequestFixed(PortHandle *port, uint8_t address, uint8_t header, int replyLength, uint8_t *reply,
                    uint8_t *data = nullptr, int n = 0);

// Reads a 5-byte acknowledgement in one read and tests it with CCCheckAck.
// When it passes and source is given, *source is the address that
// acknowledged.
bool CCReadAck(PortHandle *port, uint8_t expected, uint8_t *source = nullptr);

// A request without data answered by one data byte, stored in value on
// success; value is left untouched otherwise.
bool CCReadByte(PortHandle *port, uint8_t address, uint8_t header, uint8_t &value);

// Reads a text reply after a successful request: the head, then the
// announced length + 1 bytes. Only the checksum is tested, so a text is
// accepted from any source and with any header. On success result holds the
// data bytes, except that a reply of 255 data bytes leaves it empty. result
// must have been emptied by the caller.
void CCReceiveText(PortHandle *port, CountedString &result);

// Empties result, sends a request without data, then CCReceiveText. A
// failure shows only as an empty result.
void CCReadText(PortHandle *port, uint8_t address, uint8_t header, CountedString &result);

// A request without data answered by a 2-byte date code (low byte first):
// day in bits 0-4, month in bits 5-8, years after the device's base year in
// bits 9-13. On success asks for the base year and then stores the decoded
// date; on a failed reply stores 1900-01-01 and returns false. A base year
// that does not convert throws before any output is written.
bool CCReadDate(PortHandle *port, uint8_t address, uint8_t header, uint16_t &year, uint16_t &month,
                uint16_t &day);

// Waits 500 ms, asks for the base-year text (header 170) and converts it.
// Throws IntegerConversionError when the text (empty after any failure) is
// not an integer.
int32_t CCBaseYear(PortHandle *port, uint8_t address);

} // namespace ravlin
