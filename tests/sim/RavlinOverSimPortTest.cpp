// The real libRavlin.so against the device model, through SimPort: every
// export once with its decoded result, the state changes it makes, what it
// puts on the wire, and the failure value each device fault gives.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CCTalkComDeclar.h"
#include "DefaultDeviceChecks.h"
#include "PontelDeclar.h"
#include "SimPort.h"

using namespace ccsim;

namespace {

std::string text(const CountedString &s)
{
    return std::string(reinterpret_cast<const char *>(s.bytes + 1), s.bytes[0]);
}

class RavlinOverSim : public ::testing::Test
{
protected:
    void SetUp() override
    {
        port = ComInit(1, 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
        ASSERT_GT(port, 0);
    }

    SimPort sim;
    ScopedPortBackend installed{sim};
    PortHandle port = -1;
    Device &device = sim.device(2);
};

} // namespace

TEST_F(RavlinOverSim, IdentityExportsDecodeTheDefaultDevice)
{
    uint8_t address = 0;
    ASSERT_TRUE(CCGet_Simple_Poll(&port, &address));
    EXPECT_EQ(address, 2);
    EXPECT_EQ(sim.writes(), (std::vector<std::vector<uint8_t>>{{0, 0, 1, 254}, {1}}));
    EXPECT_EQ(sim.readSizes(), (std::vector<int32_t>{4, 1, 5}));

    expectDefaultIdentity(port);
}

TEST_F(RavlinOverSim, DatesComeWithTheBaseYear)
{
    expectDefaultDates(port);
}

TEST_F(RavlinOverSim, AddressExportsChangeTheDevicesAddress)
{
    EXPECT_EQ(CCGet_Adress(&port), 2);
    sim.passTime(1200ms);
    EXPECT_TRUE(CCSet_Adress(&port, 2, 5));
    EXPECT_EQ(device.address(), 5);
    uint8_t address = 5;
    ASSERT_TRUE(CCSet_Rand_Adress(&port, &address));
    EXPECT_GE(address, 3);
    EXPECT_EQ(address, device.address());
    EXPECT_TRUE(CCReSet(&port, &address));
    EXPECT_EQ(address, device.address());
    EXPECT_EQ(device.resets(), 1u);

    // A device that acknowledges from its old address fails the library's
    // check, though it did change.
    device.config().ackAddressChangeFromOldAddress = true;
    EXPECT_FALSE(CCSet_Adress(&port, address, 7));
    EXPECT_EQ(device.address(), 7);
}

TEST_F(RavlinOverSim, CommsCountersCountNoiseAndClear)
{
    const uint8_t noise[] = {2, 0, 1};
    ASSERT_TRUE(SendToCom(&port, noise, 3));
    uint8_t echo[3];
    ASSERT_TRUE(RcvFromCom(&port, echo, 3));
    sim.passTime(60ms);
    uint8_t counters[3] = {};
    EXPECT_TRUE(CCGet_CommsStatus(&port, 2, counters));
    EXPECT_EQ(std::vector<uint8_t>(counters, counters + 3), (std::vector<uint8_t>{1, 3, 0}));
    EXPECT_TRUE(CCClearsCom(&port, 2));
    EXPECT_TRUE(CCGet_CommsStatus(&port, 2, counters));
    EXPECT_EQ(std::vector<uint8_t>(counters, counters + 3), (std::vector<uint8_t>{0, 0, 0}));
}

TEST_F(RavlinOverSim, IoAndChannelExportsReadAndChangeTheDevice)
{
    EXPECT_TRUE(CCTestSolenoid(&port, 2, 2));
    EXPECT_EQ(device.lastSolenoidTest(), 4);
    EXPECT_TRUE(CCTestOutput(&port, 2, 0x05, 0));
    EXPECT_EQ(device.lastOutputTest(), 0x05);
    EXPECT_TRUE(CCTestOutput(&port, 2, 0x03, 1));
    EXPECT_EQ(device.latchedOutputs(), 0x03);
    device.setInputLines(0x42);
    device.setOptoStates(0x81);
    EXPECT_EQ(CCGet_InputLines(&port, 2), 0x42);
    EXPECT_EQ(CCGet_Opto_Status(&port, 2), 0x81);

    EXPECT_TRUE(CCSet_Channel_Enable(&port, 2, 0x00FF));
    EXPECT_EQ(sim.writes().back(), (std::vector<uint8_t>{21}));
    EXPECT_EQ(CCGet_Channel_Enable(&port, 2), 0x00FF);
    EXPECT_TRUE(CCModify_Sorter(&port, 2, 3, 6));
    EXPECT_EQ(CCRequest_Sorter(&port, 2, 3), 6);

    const uint8_t id[6] = {'G', 'B', '0', '5', '0', 'A'};
    EXPECT_TRUE(CCset_CoinId(&port, 2, 5, id));
    CountedString s{};
    CCGet_CoinId(&s, &port, 2, 5);
    EXPECT_EQ(text(s), "GB050A");

    EXPECT_FALSE(CCGet_Master_Inhibit(&port, 2));
    device.setMasterInhibit(true);
    EXPECT_TRUE(CCGet_Master_Inhibit(&port, 2));
    device.setMasterInhibit(false);

    device.insertCoin(3);
    device.insertCoin(12); // inhibited by the mask above
    uint8_t events[254];
    std::memset(events, 0xEE, sizeof events);
    CCGet_Buffer(&port, 2, events);
    EXPECT_EQ(std::vector<uint8_t>(events, events + 12),
              (std::vector<uint8_t>{2, 0, 2, 3, 6, 0, 0, 0, 0, 0, 0, 0xEE}));
}

TEST_F(RavlinOverSim, RawCommandPassesFramesAndCollectsAddressPollBytes)
{
    sim.addDevice([] {
        DeviceConfig c;
        c.address = 7;
        return c;
    }());
    uint8_t request[255] = {2, 0, 1, 254};
    uint8_t reply[260] = {};
    EXPECT_TRUE(CCSend_Command(&port, request, reply));
    EXPECT_EQ(std::vector<uint8_t>(reply, reply + 5), (std::vector<uint8_t>{1, 0, 2, 0, 253}));

    uint8_t poll[255] = {0, 0, 1, 253};
    std::memset(reply, 0xEE, sizeof reply);
    EXPECT_TRUE(CCSend_Command(&port, poll, reply));
    EXPECT_EQ(reply[1], 2);
    EXPECT_EQ(reply[5], 2);
    EXPECT_EQ(reply[6], 7);

    // An unknown header comes back as a NAK, passed through all the same.
    sim.passTime(1200ms);
    uint8_t unknown[255] = {7, 0, 1, 99};
    EXPECT_TRUE(CCSend_Command(&port, unknown, reply));
    EXPECT_EQ(std::vector<uint8_t>(reply, reply + 5), (std::vector<uint8_t>{1, 0, 7, 5, 243}));
}

TEST_F(RavlinOverSim, EveryFaultGivesTheLibrarysFailureValue)
{
    for (Fault fault : allFaults()) {
        if (fault == Fault::None)
            continue;
        SCOPED_TRACE(faultName(fault));
        device.setFault(fault);
        EXPECT_EQ(CCGet_Serial_Number(&port, 2), -1);
        sim.passTime(6s); // late replies and noise are over
        sim.pendingInput();
        uint8_t drain[64];
        while (PontelReadUpTo(&port, drain, sizeof drain) > 0) {
        }
        uint8_t address = 2;
        EXPECT_FALSE(CCGet_Simple_Poll(&port, &address));
        EXPECT_EQ(address, 2);
        sim.passTime(6s);
        while (PontelReadUpTo(&port, drain, sizeof drain) > 0) {
        }
        device.setFault(Fault::None);
        EXPECT_EQ(CCGet_Serial_Number(&port, 2), 1234567);
    }
}
