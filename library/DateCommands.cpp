// Manufacturing and modification dates, and the base year they count from.
#include "CCTalkComDeclar.h"
#include "CCTransaction.h"

using namespace ravlin;

namespace {
enum : uint8_t {
    ManufacturingDate = 196,
    ModificationDate = 195,
};
}

extern "C" {

CCBool CCGet_Manufacturing_Date(PortHandle *port, uint8_t address, uint16_t *year, uint16_t *month,
                                uint16_t *day)
{
    // A decoded month outside 1..12 is a failure, but the outputs keep it.
    // (The day has five bits: it never exceeds 31.)
    const bool read = CCReadDate(port, address, ManufacturingDate, *year, *month, *day);
    return read && *month >= 1 && *month <= 12;
}

CCBool CCGet_Modification_Date(PortHandle *port, uint8_t address, uint16_t *year, uint16_t *month,
                               uint16_t *day)
{
    return CCReadDate(port, address, ModificationDate, *year, *month, *day);
}

int32_t CCRequest_Base_Year(PortHandle *port, uint8_t address)
{
    return CCBaseYear(port, address);
}

} // extern "C"
