#include "CCMessage.h"

namespace ravlin {

CCMessageRecord CCMessage = {};

namespace {
constexpr uint8_t RandomAddressHeader = 250;

unsigned sumOf(const uint8_t *bytes, int n)
{
    unsigned sum = 0;
    for (int i = 0; i < n; ++i)
        sum += bytes[i];
    return sum;
}
} // namespace

uint8_t CCChecksumOf(const uint8_t *bytes, int n)
{
    return static_cast<uint8_t>(256u - sumOf(bytes, n) % 256u);
}

uint8_t CCChecksumOf(const uint8_t head[HeadSize], const uint8_t *data, int n)
{
    const unsigned sum = sumOf(head, HeadSize) + (n > 0 ? sumOf(data, n) : 0u);
    return static_cast<uint8_t>(256u - sum % 256u);
}

bool CCVerifyChecksum(const uint8_t *bytes, int n)
{
    return CCChecksumOf(bytes, n) == bytes[n];
}

bool CCCheckAck(const uint8_t reply[5], uint8_t expected)
{
    const bool sourceAccepted = reply[Source] == expected || expected == 0
                                || CCMessage.head[Header] == RandomAddressHeader;
    return CCVerifyChecksum(reply, HeadSize) && reply[Destination] == HostAddress
           && reply[Length] == 0 && sourceAccepted && reply[Header] == AckHeader;
}

} // namespace ravlin
