// The frame layer of a ccTalk message: the one outgoing-message record shared
// by every export, the checksum, and the acknowledgement test.
//
// On the line a message is destination, length n, source, header (the head),
// n data bytes, then a checksum that makes the sum of all n + 5 bytes a
// multiple of 256.
#pragma once

#include <cstdint>

namespace ravlin {

// Offsets of the head fields, in a message on the line and in CCMessage.head.
enum HeadField : int { Destination = 0, Length = 1, Source = 2, Header = 3 };

constexpr int HeadSize = 4;
constexpr uint8_t HostAddress = 1;
constexpr uint8_t AckHeader = 0;
// Longest message on the line: head, 255 data bytes, checksum.
constexpr int MaxMessageSize = HeadSize + 255 + 1;

// The outgoing message. The head is written to the port as one 4-byte block.
// data refers to bytes the caller of the transaction owns, valid for one
// export call; requests without data leave it as it was. After a
// transaction the head, the data bytes and the checksum hold the echo.
struct CCMessageRecord
{
    uint8_t head[HeadSize];
    uint8_t *data;
    uint8_t checksum;
};

// Static, zero when the library loads, never cleared between calls. The
// library is not re-entrant: one transaction at a time.
extern CCMessageRecord CCMessage;

// The byte that makes the sum of bytes[0..n-1] and itself a multiple of 256.
uint8_t CCChecksumOf(const uint8_t *bytes, int n);
// Checksum of the head and n data bytes kept apart, as CCMessage holds them.
uint8_t CCChecksumOf(const uint8_t head[HeadSize], const uint8_t *data, int n);

// True when bytes[n] is the checksum of bytes[0..n-1].
bool CCVerifyChecksum(const uint8_t *bytes, int n);

// A 5-byte acknowledgement: right checksum, to the host, no data, header 0,
// from the expected address, from any address when expected is 0 or when the
// echoed request header in CCMessage is 250 (the device picks a new address).
bool CCCheckAck(const uint8_t reply[5], uint8_t expected);

} // namespace ravlin
