// Checks of the default virtual validator's answers through the real
// library, shared by the in-process and the end-to-end tests: the same
// expectations over two ways of reaching the device.
#pragma once

#include "CCTalkComDeclar.h"

// The identity exports at address 2: polling priority, status, database
// version, serial number, address mode, the five texts, comms revision.
void expectDefaultIdentity(PortHandle &port);

// The base year and the two dates at address 2.
void expectDefaultDates(PortHandle &port);
