// Coins: the buffered event log, the master inhibit, and coin identifiers.
#include <cstring>

#include "CCTalkComDeclar.h"
#include "CCTransaction.h"

using namespace ravlin;

namespace {
enum : uint8_t {
    ReadBufferedCredits = 229,
    RequestMasterInhibit = 227,
    ModifyCoinId = 185,
    RequestCoinId = 184,
};
constexpr int CoinIdSize = 6;
} // namespace

extern "C" {

void CCGet_Buffer(PortHandle *port, uint8_t address, uint8_t *destination)
{
    // The event counter, then result pairs: as many bytes as the device sends
    // (at most 254). Nothing is written on failure or for an empty reply.
    CountedString events;
    CCReadText(port, address, ReadBufferedCredits, events);
    std::memcpy(destination, events.bytes + 1, events.bytes[0]);
}

CCBool CCGet_Master_Inhibit(PortHandle *port, uint8_t address)
{
    // Bit 0 of the reply set means coins are accepted, so the device is not
    // inhibited. A failed exchange reads as "not inhibited" (0), like any
    // boolean export that fails.
    uint8_t state = 0;
    if (!CCReadByte(port, address, RequestMasterInhibit, state))
        return false;
    return (state & 1) == 0;
}

CCBool CCset_CoinId(PortHandle *port, uint8_t address, uint8_t coin, const uint8_t identifier[6])
{
    uint8_t data[1 + CoinIdSize];
    data[0] = coin;
    std::memcpy(data + 1, identifier, CoinIdSize);
    return CCSendRequest(port, address, ModifyCoinId, data, sizeof data) && CCReadAck(port, address);
}

void CCGet_CoinId(CountedString *result, PortHandle *port, uint8_t address, uint8_t coin)
{
    // The identifier is read as a text reply, whatever length the device
    // announces, so the line stays in step and longer or shorter identifiers
    // come through whole.
    result->bytes[0] = 0;
    uint8_t data = coin;
    if (CCSendRequest(port, address, RequestCoinId, &data, 1))
        CCReceiveText(port, *result);
}

} // extern "C"
