#include "TestEnvironment.h"

#include "WinePorts.h"

bool testEnvironmentReady()
{
    return wineports::portsChecked();
}
