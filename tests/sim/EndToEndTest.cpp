// End to end over a real pseudo-terminal: the real ccsim program, the real
// libPontel.so and the real libRavlin.so, no interposer. Every export once
// with its decoded result, the state changes, two devices on one bus, the
// faults, and noise from the host.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "CCTalkComDeclar.h"
#include "CcsimProcess.h"
#include "DefaultDeviceChecks.h"
#include "PontelDeclar.h"

using namespace std::chrono_literals;

namespace {

std::string text(const CountedString &s)
{
    return std::string(reinterpret_cast<const char *>(s.bytes + 1), s.bytes[0]);
}

std::vector<uint8_t> bytes(const uint8_t *b, size_t n)
{
    return std::vector<uint8_t>(b, b + n);
}

// The window's time-outs, or short ones where a test waits for a failure.
enum class Timeouts { Window, Short };

class EndToEnd : public ::testing::Test
{
protected:
    void start(std::vector<std::string> arguments, Timeouts timeouts = Timeouts::Window)
    {
        sim = std::make_unique<CcsimProcess>(std::move(arguments));
        ASSERT_TRUE(sim->started());
        setenv("PONTEL_COM1", sim->path().c_str(), 1);
        ASSERT_TRUE(PortComFree(1));
        port = timeouts == Timeouts::Window ? ComInit(1, 9600, 8, 0, 1, 200, 200, 3000, 0, 0)
                                            : ComInit(1, 9600, 8, 0, 1, 50, 10, 150, 0, 0);
        ASSERT_GT(port, 0);
    }

    void TearDown() override
    {
        if (port > 0)
            CloseCom(&port);
        sim.reset();
        unsetenv("PONTEL_COM1");
    }

    // Reads and throws away whatever comes within the time-outs, a byte at
    // a time so that the last, empty read is short.
    void drain()
    {
        uint8_t byte = 0;
        while (PontelReadUpTo(&port, &byte, 1) > 0) {
        }
    }

    std::unique_ptr<CcsimProcess> sim;
    PortHandle port = -1;
};

} // namespace

TEST_F(EndToEnd, EveryExportOnceWithItsDecodedResult)
{
    start({}); // pacing on, as a real line
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
    EXPECT_TRUE(CCTestOutput(&port, 2, 0x0F, 0));
    EXPECT_TRUE(CCTestOutput(&port, 2, 0x0F, 1));
    EXPECT_EQ(sim->control("inputs 0x21"), "device 2: inputs 33");
    EXPECT_EQ(sim->control("optos 6"), "device 2: optos 6");
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

TEST_F(EndToEnd, CommandsChangeTheDevicesState)
{
    start({"--no-pacing"});
    EXPECT_TRUE(CCSet_Channel_Enable(&port, 2, 0x0005));
    EXPECT_EQ(CCGet_Channel_Enable(&port, 2), 0x0005);
    EXPECT_TRUE(CCModify_Sorter(&port, 2, 3, 5));
    EXPECT_EQ(CCRequest_Sorter(&port, 2, 3), 5);
    const uint8_t id[6] = {'C', 'H', '0', '0', '5', 'A'};
    EXPECT_TRUE(CCset_CoinId(&port, 2, 3, id));
    CountedString s{};
    CCGet_CoinId(&s, &port, 2, 3);
    EXPECT_EQ(text(s), "CH005A");

    EXPECT_EQ(sim->control("coin 3"), "device 2: coin on channel 3 credited, event counter 1");
    EXPECT_EQ(sim->control("coin 2"), "device 2: coin on channel 2 refused (inhibited), event counter 2");
    uint8_t events[254] = {};
    CCGet_Buffer(&port, 2, events);
    EXPECT_EQ(bytes(events, 11), (std::vector<uint8_t>{2, 0, 2, 3, 5, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(sim->control("inhibit on"), "device 2: master inhibit on");
    EXPECT_TRUE(CCGet_Master_Inhibit(&port, 2));

    EXPECT_TRUE(CCSet_Adress(&port, 2, 9));
    uint8_t address = 9;
    ASSERT_TRUE(CCSet_Rand_Adress(&port, &address));
    EXPECT_GE(address, 3);
    EXPECT_EQ(CCGet_Serial_Number(&port, address), 1234567);
    EXPECT_TRUE(CCReSet(&port, &address));
    // Power-up state: events and inhibits back, coin ids and paths kept.
    CCGet_Buffer(&port, address, events);
    EXPECT_EQ(events[0], 0);
    EXPECT_EQ(CCGet_Channel_Enable(&port, address), 0xFFFF);
    EXPECT_EQ(CCRequest_Sorter(&port, address, 3), 5);
}

TEST_F(EndToEnd, TwoDevicesAnswerTheAddressPoll)
{
    start({"--no-pacing", "--device", "2", "--quiet", "300", "--device", "3", "--quiet", "300"}, Timeouts::Short);
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

TEST_F(EndToEnd, EachFaultGivesTheLibrarysFailureValue)
{
    start({"--no-pacing", "--late-delay", "600"}, Timeouts::Short);
    for (const char *fault : {"silence", "checksum", "nak", "busy", "late", "truncated", "garbage", "no-echo"}) {
        SCOPED_TRACE(fault);
        EXPECT_EQ(sim->control(std::string("fault ") + fault), std::string("device 2: fault ") + fault);
        EXPECT_EQ(CCGet_Serial_Number(&port, 2), -1);
        // Let a late reply or the rest of a bad one arrive, and drop it: the
        // library never resynchronises by itself.
        std::this_thread::sleep_for(std::string(fault) == "late" ? 700ms : 50ms);
        drain();
        EXPECT_EQ(sim->control("fault none"), "device 2: fault none");
        EXPECT_EQ(CCGet_Serial_Number(&port, 2), 1234567);
    }
    EXPECT_EQ(sim->control("fault silence"), "device 2: fault silence");
    uint8_t three[3] = {};
    EXPECT_FALSE(CCGet_CommsStatus(&port, 2, three));
    EXPECT_EQ(bytes(three, 3), (std::vector<uint8_t>{255, 255, 255}));
    EXPECT_EQ(CCGet_Status(&port, 2), 255);
    CountedString s{};
    CCGet_Manufacturer(&s, &port, 2);
    EXPECT_EQ(s.bytes[0], 0);
}

TEST_F(EndToEnd, NoiseFromTheHostIsRecoveredFromAndCounted)
{
    start({"--no-pacing"});
    const uint8_t truncated[] = {2, 0, 1};
    uint8_t echo[8];
    ASSERT_TRUE(SendToCom(&port, truncated, 3));
    ASSERT_TRUE(RcvFromCom(&port, echo, 3));
    std::this_thread::sleep_for(100ms);
    uint8_t counters[3] = {};
    EXPECT_TRUE(CCGet_CommsStatus(&port, 2, counters));
    EXPECT_EQ(bytes(counters, 3), (std::vector<uint8_t>{1, 3, 0}));

    const uint8_t badChecksum[] = {2, 0, 1, 254, 0};
    ASSERT_TRUE(SendToCom(&port, badChecksum, 5));
    ASSERT_TRUE(RcvFromCom(&port, echo, 5));
    EXPECT_TRUE(CCGet_CommsStatus(&port, 2, counters)); // the bad one got no reply
    EXPECT_EQ(bytes(counters, 3), (std::vector<uint8_t>{1, 3, 1}));
    EXPECT_TRUE(CCClearsCom(&port, 2));
    EXPECT_TRUE(CCGet_CommsStatus(&port, 2, counters));
    EXPECT_EQ(bytes(counters, 3), (std::vector<uint8_t>{0, 0, 0}));
}

TEST_F(EndToEnd, HostKilledWhileHoldingThePortLeavesItToTheNextHost)
{
    start({"--no-pacing"});
    ASSERT_TRUE(CloseCom(&port));
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t host = fork();
    if (host == 0) {
        PortHandle held = ComInit(1, 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
        const char served = held > 0 && CCGet_Serial_Number(&held, 2) == 1234567 ? 'y' : 'n';
        if (write(ready[1], &served, 1) != 1)
            _exit(1);
        for (;;)
            pause();
    }
    ASSERT_GT(host, 0);
    char served = 'n';
    EXPECT_EQ(read(ready[0], &served, 1), 1);
    close(ready[0]);
    close(ready[1]);
    EXPECT_EQ(served, 'y');
    EXPECT_FALSE(PortComFree(1)) << "held by the other host";
    kill(host, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(host, &status, 0), host);

    EXPECT_TRUE(PortComFree(1)) << "the port stays in the list";
    port = ComInit(1, 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
    ASSERT_GT(port, 0);
    EXPECT_EQ(CCGet_Serial_Number(&port, 2), 1234567);
}
