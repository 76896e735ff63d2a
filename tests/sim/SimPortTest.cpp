// The in-process port backend: handles, time-outs in virtual time, and the
// records a test reads back. The Pontel functions are called as the library
// calls them.
#include <gtest/gtest.h>

#include "PontelDeclar.h"
#include "SimPort.h"

using namespace ccsim;

namespace {

const int32_t kWindowSettings[9] = {9600, 8, 0, 1, 200, 200, 3000, 0, 0};

PortHandle openCom1()
{
    return ComInit(1, 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
}

std::vector<uint8_t> read(PortHandle &port, int32_t count)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    if (!RcvFromCom(&port, bytes.data(), count))
        bytes.clear();
    return bytes;
}

} // namespace

TEST(SimPort, DefaultValidatorAnswersASimplePollAfterTheEcho)
{
    SimPort sim;
    ScopedPortBackend installed(sim);
    ASSERT_TRUE(PortComFree(1));
    EXPECT_FALSE(PortComFree(2));
    PortHandle port = openCom1();
    ASSERT_NE(port, 0);
    ASSERT_NE(port, -1);

    const uint8_t head[] = {2, 0, 1, 254};
    const uint8_t checksum = 255;
    ASSERT_TRUE(SendToCom(&port, head, 4));
    ASSERT_TRUE(SendToCom(&port, &checksum, 1));
    EXPECT_EQ(read(port, 4), (std::vector<uint8_t>{2, 0, 1, 254}));
    EXPECT_EQ(read(port, 1), (std::vector<uint8_t>{255}));
    EXPECT_EQ(read(port, 5), (std::vector<uint8_t>{1, 0, 2, 0, 253}));

    EXPECT_EQ(sim.writes(), (std::vector<std::vector<uint8_t>>{{2, 0, 1, 254}, {255}}));
    EXPECT_EQ(sim.readSizes(), (std::vector<int32_t>{4, 1, 5}));
    EXPECT_EQ(sim.hostBytes(), (std::vector<uint8_t>{2, 0, 1, 254, 255}));
    EXPECT_EQ(sim.pendingInput(), 0u);
}

TEST(SimPort, ASilentReadTimesOutInVirtualTimeOnly)
{
    SimPort sim;
    ScopedPortBackend installed(sim);
    PortHandle port = openCom1();
    const SimTime before = sim.now();
    uint8_t byte = 0;
    EXPECT_FALSE(RcvFromCom(&port, &byte, 5));
    // per byte 200 ms x 5 + 3000 ms
    EXPECT_EQ(sim.now() - before, SimTime(4000ms));
}

TEST(SimPort, AReadFailsWhenTheGapBetweenBytesExceedsTheInterval)
{
    SimPort sim;
    ScopedPortBackend installed(sim);
    sim.device().config().replyDelay = 300ms;
    PortHandle port = openCom1();
    const uint8_t poll[] = {2, 0, 1, 254, 255};
    ASSERT_TRUE(SendToCom(&port, poll, 5));
    // The echo is there at once; the reply would follow 300 ms later, more
    // than the 200 ms interval after the last echo byte.
    uint8_t buffer[10];
    EXPECT_FALSE(RcvFromCom(&port, buffer, 10));
}

TEST(SimPort, HandlesThatAreNotOpenFail)
{
    SimPort sim;
    ScopedPortBackend installed(sim);
    sim.setFreePorts({1, 3});
    PortHandle first = openCom1();
    PortHandle second = openCom1(); // releases the first
    PortHandle third = ComInit(3, 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
    EXPECT_NE(first, second);
    EXPECT_FALSE(PontelIsOpen(first));
    EXPECT_TRUE(PontelIsOpen(second));
    EXPECT_TRUE(PontelIsOpen(third));
    EXPECT_EQ(ComInit(4, 9600, 8, 0, 1, 200, 200, 3000, 0, 0), -1);

    const uint8_t byte = 0;
    uint8_t in = 0;
    for (PortHandle bad : {PortHandle(0), PortHandle(-1), first, PortHandle(12345)}) {
        EXPECT_FALSE(SendToCom(&bad, &byte, 1)) << bad;
        EXPECT_FALSE(RcvFromCom(&bad, &in, 1)) << bad;
        EXPECT_EQ(PontelReadUpTo(&bad, &in, 1), -1) << bad;
        EXPECT_FALSE(CloseCom(&bad)) << bad;
    }
    EXPECT_TRUE(CloseCom(&second));
    EXPECT_FALSE(CloseCom(&second));
    EXPECT_TRUE(sim.writes().empty());
}

TEST(SimPort, ReadUpToReturnsWhatCameBeforeTheTimeOut)
{
    SimPort sim;
    ScopedPortBackend installed(sim);
    PortHandle port = sim.open(1, kWindowSettings);
    const uint8_t request[] = {2, 0, 1, 242, 11}; // serial number
    ASSERT_TRUE(SendToCom(&port, request, 5));
    uint8_t buffer[8];
    ASSERT_EQ(PontelReadUpTo(&port, buffer, 8), 8);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 5), (std::vector<uint8_t>{2, 0, 1, 242, 11}));
    // Echo (5) + serial number reply (8): 13 bytes in all.
    uint8_t rest[8];
    ASSERT_EQ(PontelReadUpTo(&port, rest, 8), 5);
    EXPECT_EQ(std::vector<uint8_t>(buffer + 5, buffer + 8), (std::vector<uint8_t>{1, 3, 2}));
    EXPECT_EQ(std::vector<uint8_t>(rest, rest + 5), (std::vector<uint8_t>{0, 0x87, 0xD6, 0x12, 0x8B}));
    EXPECT_EQ(PontelReadUpTo(&port, rest, 8), 0);
}

TEST(SimPort, TheQuietTimeAfterAnAddressPollPassesOnRequest)
{
    SimPort sim;
    ScopedPortBackend installed(sim);
    PortHandle port = openCom1();
    const uint8_t addressPoll[] = {0, 0, 1, 253, 2};
    ASSERT_TRUE(SendToCom(&port, addressPoll, 5));
    EXPECT_EQ(read(port, 6), (std::vector<uint8_t>{0, 0, 1, 253, 2, 2}));

    const uint8_t poll[] = {2, 0, 1, 254, 255};
    ASSERT_TRUE(SendToCom(&port, poll, 5));
    EXPECT_EQ(read(port, 5).size(), 5u);
    EXPECT_TRUE(read(port, 5).empty()); // ignored while quiet

    sim.passTime(1200ms);
    ASSERT_TRUE(SendToCom(&port, poll, 5));
    EXPECT_EQ(read(port, 10), (std::vector<uint8_t>{2, 0, 1, 254, 255, 1, 0, 2, 0, 253}));
}
