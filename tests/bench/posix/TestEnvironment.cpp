#include "TestEnvironment.h"

bool testEnvironmentReady()
{
    return true;
}
