// Ravlin.dll and Pontel.dll under Wine against the real ccsim, as the Linux
// end-to-end test runs them over a pseudo-terminal: every export once with
// its decoded result, the state changes, two devices on one bus, each fault,
// and the base-year conversion error reaching the caller as the exception
// type of common/.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "CCTalkComDeclar.h"
#include "DefaultDeviceChecks.h"
#include "IntegerText.h"
#include "PontelDeclar.h"
#include "WinePorts.h"

using namespace std::chrono_literals;
using namespace wineports;

namespace {

std::string text(const CountedString &s)
{
    return std::string(reinterpret_cast<const char *>(s.bytes + 1), s.bytes[0]);
}

std::vector<uint8_t> bytes(const uint8_t *b, size_t n)
{
    return std::vector<uint8_t>(b, b + n);
}

enum class Timeouts { Window, Short };

class WinEndToEnd : public ::testing::Test
{
protected:
    void open(uint8_t n, Timeouts timeouts = Timeouts::Window)
    {
        number = n;
        ASSERT_TRUE(PortComFree(n));
        port = timeouts == Timeouts::Window ? ComInit(n, 9600, 8, 0, 1, 200, 200, 3000, 0, 0)
                                            : ComInit(n, 9600, 8, 0, 1, 50, 10, 150, 0, 0);
        ASSERT_GT(port, 0);
    }

    void TearDown() override
    {
        if (port > 0)
            CloseCom(&port);
    }

    void drain()
    {
        uint8_t byte = 0;
        while (PontelReadUpTo(&port, &byte, 1) > 0) {
        }
    }

    uint8_t number = 0;
    PortHandle port = -1;
};

} // namespace

TEST_F(WinEndToEnd, EveryExportOnceWithItsDecodedResult)
{
    open(kLine); // pacing on, as a real line
    const auto before = std::chrono::steady_clock::now();
    uint8_t address = 0;
    ASSERT_TRUE(CCGet_Simple_Poll(&port, &address));
    EXPECT_EQ(address, 2);
    // 5 request bytes and 5 reply bytes at 9600 baud take at least 10 ms.
    EXPECT_GE(std::chrono::steady_clock::now() - before, 10ms);

    expectDefaultIdentity(port);
    uint8_t three[3] = {};
    EXPECT_TRUE(CCGet_CommsStatus(&port, 2, three));
    EXPECT_EQ(bytes(three, 3), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_TRUE(CCClearsCom(&port, 2));

    expectDefaultDates(port);

    EXPECT_TRUE(CCTestSolenoid(&port, 2, 1));
    EXPECT_FALSE(CCTestSolenoid(&port, 2, 8));
    EXPECT_TRUE(CCTestOutput(&port, 2, 0x0F, 0));
    EXPECT_TRUE(CCTestOutput(&port, 2, 0x0F, 1));
    EXPECT_EQ(control(kLine, "inputs 0x21"), "device 2: inputs 33");
    EXPECT_EQ(control(kLine, "optos 6"), "device 2: optos 6");
    EXPECT_EQ(CCGet_InputLines(&port, 2), 0x21);
    EXPECT_EQ(CCGet_Opto_Status(&port, 2), 6);
    EXPECT_EQ(CCGet_Channel_Enable(&port, 2), 0xFFFF);
    EXPECT_FALSE(CCGet_Master_Inhibit(&port, 2));
    EXPECT_EQ(CCRequest_Sorter(&port, 2, 8), 3);
    CountedString s{};
    CCGet_CoinId(&s, &port, 2, 8);
    EXPECT_EQ(text(s), "EU200A");
    uint8_t events[254] = {};
    CCGet_Buffer(&port, 2, events);
    EXPECT_EQ(bytes(events, 11), std::vector<uint8_t>(11, 0));

    uint8_t request[255] = {2, 0, 1, 242};
    uint8_t reply[260] = {};
    EXPECT_TRUE(CCSend_Command(&port, request, reply));
    EXPECT_EQ(bytes(reply, 8), (std::vector<uint8_t>{1, 3, 2, 0, 0x87, 0xD6, 0x12, 0x8B}));

    EXPECT_EQ(CCGet_Adress(&port), 2);
    std::this_thread::sleep_for(1300ms); // the device's quiet time
    EXPECT_TRUE(CCReSet(&port, &address));
    EXPECT_EQ(address, 2);
}

TEST_F(WinEndToEnd, CommandsChangeTheDevicesState)
{
    open(kFast);
    EXPECT_TRUE(CCSet_Channel_Enable(&port, 2, 0x0005));
    EXPECT_EQ(CCGet_Channel_Enable(&port, 2), 0x0005);
    EXPECT_TRUE(CCModify_Sorter(&port, 2, 3, 5));
    EXPECT_EQ(CCRequest_Sorter(&port, 2, 3), 5);
    const uint8_t id[6] = {'C', 'H', '0', '0', '5', 'A'};
    EXPECT_TRUE(CCset_CoinId(&port, 2, 3, id));
    CountedString s{};
    CCGet_CoinId(&s, &port, 2, 3);
    EXPECT_EQ(text(s), "CH005A");

    EXPECT_EQ(control(kFast, "coin 3"), "device 2: coin on channel 3 credited, event counter 1");
    EXPECT_EQ(control(kFast, "coin 2"), "device 2: coin on channel 2 refused (inhibited), event counter 2");
    uint8_t events[254] = {};
    CCGet_Buffer(&port, 2, events);
    EXPECT_EQ(bytes(events, 11), (std::vector<uint8_t>{2, 0, 2, 3, 5, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(control(kFast, "inhibit on"), "device 2: master inhibit on");
    EXPECT_TRUE(CCGet_Master_Inhibit(&port, 2));

    EXPECT_TRUE(CCSet_Adress(&port, 2, 9));
    uint8_t address = 9;
    ASSERT_TRUE(CCSet_Rand_Adress(&port, &address));
    EXPECT_GE(address, 3);
    EXPECT_EQ(CCGet_Serial_Number(&port, address), 1234567);
    EXPECT_TRUE(CCReSet(&port, &address));
    CCGet_Buffer(&port, address, events);
    EXPECT_EQ(events[0], 0);
    EXPECT_EQ(CCGet_Channel_Enable(&port, address), 0xFFFF);
    EXPECT_EQ(CCRequest_Sorter(&port, address, 3), 5);
}

TEST_F(WinEndToEnd, TwoDevicesAnswerTheAddressPoll)
{
    open(kTwoDevices, Timeouts::Short);
    EXPECT_EQ(CCGet_Adress(&port), 2);
    std::this_thread::sleep_for(400ms);
    drain(); // the second device's byte
    uint8_t request[255] = {0, 0, 1, 253};
    uint8_t reply[260] = {};
    EXPECT_TRUE(CCSend_Command(&port, request, reply));
    EXPECT_EQ(reply[1], 2);
    EXPECT_EQ(bytes(reply + 5, 2), (std::vector<uint8_t>{2, 3}));
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(CCGet_Serial_Number(&port, 3), 1234567);
}

TEST_F(WinEndToEnd, EachFaultGivesTheLibrarysFailureValue)
{
    open(kSpare, Timeouts::Short);
    ASSERT_EQ(control(kSpare, "fault none"), "device 2: fault none");
    for (const char *fault : {"silence", "checksum", "nak", "busy", "late", "truncated", "garbage", "no-echo"}) {
        SCOPED_TRACE(fault);
        EXPECT_EQ(control(kSpare, std::string("fault ") + fault), std::string("device 2: fault ") + fault);
        EXPECT_EQ(CCGet_Serial_Number(&port, 2), -1);
        // Let a late reply or the rest of a bad one arrive, and drop it.
        std::this_thread::sleep_for(std::string(fault) == "late" ? 700ms : 50ms);
        drain();
        EXPECT_EQ(control(kSpare, "fault none"), "device 2: fault none");
        EXPECT_EQ(CCGet_Serial_Number(&port, 2), 1234567);
    }
}

TEST_F(WinEndToEnd, SilenceFailsEveryKindOfExportWithinItsTimeOut)
{
    open(kSilent); // the window's time-outs
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CCGet_Serial_Number(&port, 2), -1);
    // The echo arrives; the 8-byte reply read gives up after 200 x 8 + 3000.
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 4500ms);
    EXPECT_LT(elapsed, 5500ms);
    // The other exports with short time-outs.
    CloseCom(&port);
    open(kSilent, Timeouts::Short);
    uint8_t three[3] = {};
    EXPECT_FALSE(CCGet_CommsStatus(&port, 2, three));
    EXPECT_EQ(bytes(three, 3), (std::vector<uint8_t>{255, 255, 255}));
    EXPECT_EQ(CCGet_Status(&port, 2), 255);
    CountedString s{};
    s.bytes[0] = 7;
    CCGet_Manufacturer(&s, &port, 2);
    EXPECT_EQ(s.bytes[0], 0);
    uint8_t address = 0;
    EXPECT_FALSE(CCGet_Simple_Poll(&port, &address));
    EXPECT_EQ(address, 0);
}

TEST_F(WinEndToEnd, ABaseYearThatIsNoNumberReachesTheCallerAsIntegerConversionError)
{
    open(kBadBaseYear);
    try {
        CCRequest_Base_Year(&port, 2);
        ADD_FAILURE() << "no exception";
    } catch (const IntegerConversionError &error) {
        EXPECT_EQ(error.text(), "20x0");
        EXPECT_STREQ(error.what(), "'20x0' n'est pas une valeur enti\xC3\xA8re correcte");
    }
    uint16_t year = 1, month = 2, day = 3;
    EXPECT_THROW(CCGet_Manufacturing_Date(&port, 2, &year, &month, &day), IntegerConversionError);
    EXPECT_EQ(std::vector<uint16_t>({year, month, day}), (std::vector<uint16_t>{1, 2, 3}));
    EXPECT_THROW(CCGet_Modification_Date(&port, 2, &year, &month, &day), std::runtime_error);
    EXPECT_EQ(std::vector<uint16_t>({year, month, day}), (std::vector<uint16_t>{1, 2, 3}));
    // The port is still usable.
    EXPECT_EQ(CCGet_Serial_Number(&port, 2), 1234567);
}
