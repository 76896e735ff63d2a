// The main of the Windows suite's GoogleTest programs: they write to COM1 to
// COM9, so they run only through run-under-wine.sh (see WinePorts.h).
#include <gtest/gtest.h>

#include "WinePorts.h"

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!wineports::portsChecked())
        return 2;
    return RUN_ALL_TESTS();
}
