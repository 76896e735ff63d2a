// The DLLs as an integrator loads them at run time: LoadLibrary by name and
// GetProcAddress of each undecorated export, with no import library. This
// program is linked to neither DLL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "CCTalkComDeclar.h"
#include "ExportNames.h"
#include "WinePorts.h"

namespace {

struct Library
{
    explicit Library(const char *name) : module(LoadLibraryA(name)) {}
    ~Library()
    {
        if (module)
            FreeLibrary(module);
    }
    HMODULE module;
};

template <typename Function>
Function function(HMODULE module, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace

TEST(LoadByName, RavlinLoadsPontelByNameAndEveryExportIsFound)
{
    ASSERT_EQ(GetModuleHandleA("Pontel.dll"), nullptr);
    Library ravlin("Ravlin.dll");
    ASSERT_NE(ravlin.module, nullptr) << GetLastError();
    const HMODULE pontel = GetModuleHandleA("Pontel.dll");
    ASSERT_NE(pontel, nullptr); // loaded by name as Ravlin's import

    for (const char *name : kRavlinExports) {
        SCOPED_TRACE(name);
        EXPECT_NE(GetProcAddress(ravlin.module, name), nullptr);
    }
    for (const char *name : kPontelExports) {
        SCOPED_TRACE(name);
        EXPECT_NE(GetProcAddress(pontel, name), nullptr);
    }
    // Nothing decorated, nothing internal.
    for (const char *name : {"_CCGet_Serial_Number", "CCGet_Serial_Number@8", "CCChecksumOf",
                             "_ZN6ravlin12CCChecksumOfEPKhi", "readInteger"})
        EXPECT_EQ(GetProcAddress(ravlin.module, name), nullptr) << name;
}

TEST(LoadByName, AnExchangeThroughFunctionsFoundByName)
{
    Library ravlin("Ravlin.dll");
    ASSERT_NE(ravlin.module, nullptr);
    const HMODULE pontel = GetModuleHandleA("Pontel.dll");
    ASSERT_NE(pontel, nullptr);
    const auto comInit = function<PortHandle (*)(uint8_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                                  int32_t, int32_t, int32_t)>(pontel, "ComInit");
    const auto closeCom = function<CCBool (*)(PortHandle *)>(pontel, "CloseCom");
    const auto serialNumber = function<int32_t (*)(PortHandle *, uint8_t)>(ravlin.module, "CCGet_Serial_Number");
    const auto manufacturer =
        function<void (*)(CountedString *, PortHandle *, uint8_t)>(ravlin.module, "CCGet_Manufacturer");
    ASSERT_TRUE(comInit && closeCom && serialNumber && manufacturer);

    PortHandle port = comInit(wineports::kFast, 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
    ASSERT_GT(port, 0);
    EXPECT_EQ(serialNumber(&port, 2), 1234567);
    CountedString text{};
    manufacturer(&text, &port, 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(text.bytes + 1), text.bytes[0]), "Virtual Validators");
    EXPECT_EQ(closeCom(&port), 1);
}
