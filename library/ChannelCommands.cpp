// Channels: inhibit masks and sorter paths.
#include "CCMessage.h"
#include "CCTalkComDeclar.h"
#include "CCTransaction.h"

using namespace ravlin;

namespace {
enum : uint8_t {
    ModifyInhibits = 231,
    RequestInhibits = 230,
    ModifySorterPath = 210,
    RequestSorterPath = 209,
};
}

extern "C" {

CCBool CCSet_Channel_Enable(PortHandle *port, uint8_t address, uint16_t mask)
{
    // Bit k enables channel k + 1; channels 1-8 first.
    uint8_t data[2] = {static_cast<uint8_t>(mask & 0xFF), static_cast<uint8_t>(mask >> 8)};
    return CCSendRequest(port, address, ModifyInhibits, data, 2) && CCReadAck(port, address);
}

uint16_t CCGet_Channel_Enable(PortHandle *port, uint8_t address)
{
    uint8_t reply[2 + AckSize];
    if (!CCRequestFixed(port, address, RequestInhibits, 2, reply))
        return 0;
    return static_cast<uint16_t>(reply[HeadSize] | (reply[HeadSize + 1] << 8));
}

CCBool CCModify_Sorter(PortHandle *port, uint8_t address, uint8_t channel, uint8_t path)
{
    uint8_t data[2] = {channel, path};
    return CCSendRequest(port, address, ModifySorterPath, data, 2) && CCReadAck(port, address);
}

uint8_t CCRequest_Sorter(PortHandle *port, uint8_t address, uint8_t channel)
{
    uint8_t data = channel;
    uint8_t reply[1 + AckSize];
    if (!CCRequestFixed(port, address, RequestSorterPath, 1, reply, &data, 1))
        return 0;
    return reply[HeadSize];
}

} // extern "C"
