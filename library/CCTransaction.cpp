#include "CCTransaction.h"

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "CCMessage.h"
#include "IntegerText.h"
#include "PontelDeclar.h"

namespace ravlin {

namespace {
constexpr uint8_t BaseYearHeader = 170;
constexpr auto BaseYearPause = std::chrono::milliseconds(500);
// A text of 255 data bytes is read in full, so that the line stays in step,
// but yields an empty result: callers size their copies for 254 bytes (the
// event buffer's destination, for one).
constexpr int LongestText = 254;
} // namespace

bool CCTransact(PortHandle handle)
{
    // The serial layer gets a reference to this copy, never the caller's.
    PortHandle port = handle;
    // The echo overwrites the head, length included: read back exactly as
    // many data bytes as were written.
    const int n = CCMessage.head[Length];
    if (!SendToCom(&port, CCMessage.head, HeadSize))
        return false;
    if (n != 0 && !SendToCom(&port, CCMessage.data, n))
        return false;
    if (!SendToCom(&port, &CCMessage.checksum, 1))
        return false;
    if (!RcvFromCom(&port, CCMessage.head, HeadSize))
        return false;
    if (n != 0 && !RcvFromCom(&port, CCMessage.data, n))
        return false;
    return RcvFromCom(&port, &CCMessage.checksum, 1) != 0;
}

bool CCSendRequest(PortHandle *port, uint8_t address, uint8_t header, uint8_t *data, int n)
{
    CCMessage.head[Destination] = address;
    CCMessage.head[Length] = static_cast<uint8_t>(n);
    CCMessage.head[Source] = HostAddress;
    CCMessage.head[Header] = header;
    if (n != 0)
        CCMessage.data = data;
    CCMessage.checksum = CCChecksumOf(CCMessage.head, data, n);
    return CCTransact(*port);
}

bool CCReadFixed(PortHandle *port, uint8_t address, int n, uint8_t *reply)
{
    if (!RcvFromCom(port, reply, n + AckSize))
        return false;
    return CCVerifyChecksum(reply, n + HeadSize) && reply[Destination] == HostAddress
           && reply[Length] == n && (reply[Source] == address || address == 0)
           && reply[Header] == AckHeader;
}

bool CCRequestFixed(PortHandle *port, uint8_t address, uint8_t header, int replyLength, uint8_t *reply,
                    uint8_t *data, int n)
{
    return CCSendRequest(port, address, header, data, n) && CCReadFixed(port, address, replyLength, reply);
}

bool CCReadAck(PortHandle *port, uint8_t expected, uint8_t *source)
{
    uint8_t reply[AckSize];
    if (!RcvFromCom(port, reply, AckSize) || !CCCheckAck(reply, expected))
        return false;
    if (source != nullptr)
        *source = reply[Source];
    return true;
}

bool CCReadByte(PortHandle *port, uint8_t address, uint8_t header, uint8_t &value)
{
    uint8_t reply[1 + AckSize];
    if (!CCRequestFixed(port, address, header, 1, reply))
        return false;
    value = reply[HeadSize];
    return true;
}

void CCReceiveText(PortHandle *port, CountedString &result)
{
    // Head, then up to 255 data bytes and the checksum.
    uint8_t reply[MaxMessageSize];
    if (!RcvFromCom(port, reply, HeadSize))
        return;
    const int length = reply[Length];
    if (!RcvFromCom(port, reply + HeadSize, length + 1))
        return;
    if (!CCVerifyChecksum(reply, HeadSize + length) || length > LongestText)
        return;
    result.bytes[0] = static_cast<uint8_t>(length);
    std::memcpy(result.bytes + 1, reply + HeadSize, length);
}

void CCReadText(PortHandle *port, uint8_t address, uint8_t header, CountedString &result)
{
    result.bytes[0] = 0;
    if (CCSendRequest(port, address, header))
        CCReceiveText(port, result);
}

bool CCReadDate(PortHandle *port, uint8_t address, uint8_t header, uint16_t &year, uint16_t &month,
                uint16_t &day)
{
    uint8_t reply[2 + AckSize];
    if (!CCRequestFixed(port, address, header, 2, reply)) {
        year = 1900;
        month = 1;
        day = 1;
        return false;
    }
    const uint8_t d0 = reply[HeadSize];
    const uint8_t d1 = reply[HeadSize + 1];
    // May throw: the outputs are written only once the base year is known.
    const int32_t base = CCBaseYear(port, address);
    // Modulo 2^16, whatever the base year (no signed overflow).
    year = static_cast<uint16_t>(static_cast<uint32_t>(base) + ((d1 & 0x3Eu) >> 1));
    month = static_cast<uint16_t>(((d1 & 1) << 3) + (d0 >> 5));
    day = static_cast<uint16_t>(d0 & 0x1F);
    return true;
}

int32_t CCBaseYear(PortHandle *port, uint8_t address)
{
    std::this_thread::sleep_for(BaseYearPause);
    CountedString text;
    CCReadText(port, address, BaseYearHeader, text);
    const std::string bytes(reinterpret_cast<const char *>(text.bytes + 1), text.bytes[0]);
    return readInteger(latin1ToUtf8(bytes));
}

} // namespace ravlin
