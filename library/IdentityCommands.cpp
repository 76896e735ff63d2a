// Identity and addressing: who is on the bus, its address, status, identity
// texts, versions, serial number and address mode.
#include "CCMessage.h"
#include "CCTalkComDeclar.h"
#include "CCTransaction.h"
#include "PontelDeclar.h"

using namespace ravlin;

namespace {
enum : uint8_t {
    SimplePoll = 254,
    AddressPoll = 253,
    ChangeAddress = 251,
    RandomAddress = 250,
    PollingPriority = 249,
    Status = 248,
    Manufacturer = 246,
    EquipmentCategory = 245,
    ProductCode = 244,
    DatabaseVersion = 243,
    SerialNumber = 242,
    SoftwareRevision = 241,
    BuildCode = 192,
    AddressMode = 169,
};
}

extern "C" {

CCBool CCGet_Simple_Poll(PortHandle *port, uint8_t *address)
{
    uint8_t reply[AckSize];
    if (!CCSendRequest(port, *address, SimplePoll) || !RcvFromCom(port, reply, AckSize))
        return false;
    // Whichever device answers is accepted, whatever address was polled.
    if (!CCVerifyChecksum(reply, HeadSize) || reply[Destination] != HostAddress || reply[Length] != 0
        || reply[Header] != AckHeader)
        return false;
    *address = reply[Source];
    return true;
}

uint8_t CCGet_Adress(PortHandle *port)
{
    // Every device answers address 0 with one bare byte, its address. Only
    // the first is read; further answers stay in the port's input.
    uint8_t answer = 0;
    if (!CCSendRequest(port, 0, AddressPoll) || !RcvFromCom(port, &answer, 1))
        return 0;
    return answer;
}

CCBool CCSet_Adress(PortHandle *port, uint8_t currentAddress, uint8_t newAddress)
{
    // The device acknowledges from its new address.
    uint8_t data = newAddress;
    return CCSendRequest(port, currentAddress, ChangeAddress, &data, 1) && CCReadAck(port, newAddress);
}

CCBool CCSet_Rand_Adress(PortHandle *port, uint8_t *address)
{
    // The acknowledgement comes from the address the device picked; the
    // acknowledgement test lets any source pass for this header.
    return CCSendRequest(port, *address, RandomAddress) && CCReadAck(port, *address, address);
}

CCBool CCGet_Polling(PortHandle *port, uint8_t address, uint8_t *units, uint8_t *value)
{
    uint8_t reply[2 + AckSize];
    if (!CCRequestFixed(port, address, PollingPriority, 2, reply))
        return false;
    *units = reply[HeadSize];
    *value = reply[HeadSize + 1];
    return true;
}

uint8_t CCGet_Status(PortHandle *port, uint8_t address)
{
    uint8_t status = 255;
    CCReadByte(port, address, Status, status);
    return status;
}

void CCGet_Manufacturer(CountedString *result, PortHandle *port, uint8_t address)
{
    CCReadText(port, address, Manufacturer, *result);
}

void CCGet_Equipement(CountedString *result, PortHandle *port, uint8_t address)
{
    CCReadText(port, address, EquipmentCategory, *result);
}

void CCGet_Product(CountedString *result, PortHandle *port, uint8_t address)
{
    CCReadText(port, address, ProductCode, *result);
}

uint8_t CCGet_DB(PortHandle *port, uint8_t address)
{
    uint8_t version = 0;
    CCReadByte(port, address, DatabaseVersion, version);
    return version;
}

int32_t CCGet_Serial_Number(PortHandle *port, uint8_t address)
{
    // 24 bits, least significant byte first; -1 cannot be a serial number.
    uint8_t reply[3 + AckSize];
    if (!CCRequestFixed(port, address, SerialNumber, 3, reply))
        return -1;
    return reply[HeadSize] + (reply[HeadSize + 1] << 8) + (reply[HeadSize + 2] << 16);
}

void CCSoftVersion(CountedString *result, PortHandle *port, uint8_t address)
{
    CCReadText(port, address, SoftwareRevision, *result);
}

void CCGet_BuildCode(CountedString *result, PortHandle *port, uint8_t address)
{
    CCReadText(port, address, BuildCode, *result);
}

uint8_t CCGet_Adress_Mode(PortHandle *port, uint8_t address)
{
    uint8_t mode = 0;
    CCReadByte(port, address, AddressMode, mode);
    return mode;
}

} // extern "C"
