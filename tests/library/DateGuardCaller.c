/* A C caller of the date guard: C code cannot catch, and an exception that
   reached this frame would end the program. */
#include <stdio.h>

#include "DateGuard.h"

const char *cModificationDate(PortHandle *port, uint8_t address, char text[24])
{
    uint16_t year = 0, month = 0, day = 0;
    const int read = SafeModificationDate(port, address, &year, &month, &day);
    if (read < 0)
        return "no base year";
    if (read == 0)
        return "failed";
    snprintf(text, 24, "%04u-%02u-%02u", (unsigned)year, (unsigned)month, (unsigned)day);
    return text;
}
