// I/O tests: solenoids, output lines, input lines and optos.
#include "CCTalkComDeclar.h"
#include "CCTransaction.h"

using namespace ravlin;

namespace {
enum : uint8_t {
    TestSolenoids = 240,
    TestOutputLines = 238,
    ReadInputLines = 237,
    ReadOptoStates = 236,
};
constexpr int SolenoidCount = 8;
} // namespace

extern "C" {

CCBool CCTestSolenoid(PortHandle *port, uint8_t address, uint8_t solenoid)
{
    // The request carries a mask with the solenoid's bit set; there is no bit
    // for solenoid 8 or above, so nothing is sent for them.
    if (solenoid >= SolenoidCount)
        return false;
    uint8_t mask = static_cast<uint8_t>(1u << solenoid);
    return CCSendRequest(port, address, TestSolenoids, &mask, 1) && CCReadAck(port, address);
}

CCBool CCTestOutput(PortHandle *port, uint8_t address, uint8_t mask, uint8_t mode)
{
    // Mode 0 pulses the outputs (238), mode 1 latches them (233).
    const uint8_t header = static_cast<uint8_t>(TestOutputLines - 5 * mode);
    uint8_t data = mask;
    return CCSendRequest(port, address, header, &data, 1) && CCReadAck(port, address);
}

uint8_t CCGet_InputLines(PortHandle *port, uint8_t address)
{
    uint8_t lines = 0;
    CCReadByte(port, address, ReadInputLines, lines);
    return lines;
}

uint8_t CCGet_Opto_Status(PortHandle *port, uint8_t address)
{
    uint8_t optos = 0;
    CCReadByte(port, address, ReadOptoStates, optos);
    return optos;
}

} // extern "C"
