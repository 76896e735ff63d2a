// The raw pass-through: any header with any data to any address, the reply
// returned as it came.
#include <cstring>

#include "CCMessage.h"
#include "CCTalkComDeclar.h"
#include "CCTransaction.h"
#include "PontelDeclar.h"

using namespace ravlin;

namespace {
constexpr int RequestBlockSize = 255;
constexpr int MaxRequestData = RequestBlockSize - HeadSize; // 251
constexpr int ReplyBufferSize = 260;
// Cleared when the request does not go through.
constexpr int ClearedReplyBytes = 254;
// Collected bare bytes start here; byte 1 holds their count.
constexpr int CollectStart = 5;

// Headers answered by bare bytes rather than a framed message (address poll
// and the other address-management requests).
bool answeredByBareBytes(uint8_t header)
{
    return header >= 250 && header <= 253;
}

CCBool refuse(uint8_t reply[])
{
    std::memset(reply, 0, ClearedReplyBytes);
    return false;
}
} // namespace

extern "C" {

CCBool CCSend_Command(PortHandle *port, uint8_t request[255], uint8_t reply[260])
{
    // The block has room for 251 data bytes after its head; a longer length
    // would send bytes from beyond it.
    const int n = request[Length];
    if (n > MaxRequestData)
        return refuse(reply);

    std::memcpy(CCMessage.head, request, HeadSize);
    CCMessage.data = request + HeadSize;
    CCMessage.checksum = CCChecksumOf(request, request + HeadSize, n);
    if (!CCTransact(*port))
        return refuse(reply);

    if (answeredByBareBytes(CCMessage.head[Header])) {
        // Collect bytes until no further byte arrives in time, or the buffer
        // is full (255 bytes, the most that byte 1 can count).
        int i = CollectStart;
        while (i < ReplyBufferSize && RcvFromCom(port, reply + i, 1))
            ++i;
        const int count = i - CollectStart;
        reply[0] = 0;
        reply[1] = static_cast<uint8_t>(count);
        reply[2] = 0;
        return count > 0;
    }

    // Destination and length, then the rest of the message as announced (at
    // most 258 bytes, so the whole reply fits the 260-byte buffer).
    if (!RcvFromCom(port, reply, 2))
        return false;
    return RcvFromCom(port, reply + 2, reply[1] + 3) != 0;
}

} // extern "C"
