/* The date exports for C callers: three C++ functions that catch the
   base-year error, as the README shows. Compiled into a test with a C caller
   between it and the guard, so that an error that got through would end the
   test program. */
#pragma once

#include "CCTalkComDeclar.h"

#ifdef __cplusplus
extern "C" {
#endif

/* 1: read; 0: the date reply failed (outputs 1900-01-01, or the decoded
   month out of range for the manufacturing date); -1: the device's base
   year is no number (no header 170), outputs left as they were. */
int SafeManufacturingDate(PortHandle *port, uint8_t address, uint16_t *year, uint16_t *month,
                          uint16_t *day);
int SafeModificationDate(PortHandle *port, uint8_t address, uint16_t *year, uint16_t *month,
                         uint16_t *day);
/* 1 and *year set, or -1 when the base year is no number. */
int SafeBaseYear(PortHandle *port, uint8_t address, int32_t *year);

/* A plain C caller of the above (DateGuardCaller.c): the modification date
   as "YYYY-MM-DD" (text: 24 bytes), "failed" or "no base year". */
const char *cModificationDate(PortHandle *port, uint8_t address, char text[24]);

#ifdef __cplusplus
}
#endif
