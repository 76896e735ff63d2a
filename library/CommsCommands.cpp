// Comms: protocol version, comms error counters and their reset, device reset.
#include "CCMessage.h"
#include "CCTalkComDeclar.h"
#include "CCTransaction.h"

using namespace ravlin;

namespace {
enum : uint8_t {
    CommsRevision = 4,
    ClearCommsStatus = 3,
    CommsStatus = 2,
    ResetDevice = 1,
};

// Three data bytes into output, or 255, 255, 255 when the exchange fails.
bool readThreeBytes(PortHandle *port, uint8_t address, uint8_t header, uint8_t output[3])
{
    uint8_t reply[3 + AckSize];
    const bool ok = CCRequestFixed(port, address, header, 3, reply);
    for (int i = 0; i < 3; ++i)
        output[i] = ok ? reply[HeadSize + i] : 255;
    return ok;
}
} // namespace

extern "C" {

CCBool CCGet_cctalk_Version(PortHandle *port, uint8_t address, uint8_t output[3])
{
    return readThreeBytes(port, address, CommsRevision, output);
}

CCBool CCGet_CommsStatus(PortHandle *port, uint8_t address, uint8_t output[3])
{
    return readThreeBytes(port, address, CommsStatus, output);
}

CCBool CCClearsCom(PortHandle *port, uint8_t address)
{
    return CCSendRequest(port, address, ClearCommsStatus) && CCReadAck(port, address);
}

CCBool CCReSet(PortHandle *port, uint8_t *address)
{
    // With address 0 this tells which device acknowledged.
    return CCSendRequest(port, *address, ResetDevice) && CCReadAck(port, *address, address);
}

} // extern "C"
