// The README's guard for C callers of the date exports.
#include "DateGuard.h"

extern "C" {

int SafeManufacturingDate(PortHandle *port, uint8_t address, uint16_t *year, uint16_t *month,
                          uint16_t *day)
{
    try {
        return CCGet_Manufacturing_Date(port, address, year, month, day) ? 1 : 0;
    } catch (...) {
        return -1;
    }
}

int SafeModificationDate(PortHandle *port, uint8_t address, uint16_t *year, uint16_t *month,
                         uint16_t *day)
{
    try {
        return CCGet_Modification_Date(port, address, year, month, day) ? 1 : 0;
    } catch (...) {
        return -1;
    }
}

int SafeBaseYear(PortHandle *port, uint8_t address, int32_t *year)
{
    try {
        *year = CCRequest_Base_Year(port, address);
        return 1;
    } catch (...) {
        return -1;
    }
}

} // extern "C"
