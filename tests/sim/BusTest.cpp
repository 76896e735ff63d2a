// The bus: echo, several devices, the address poll and its quiet time,
// collisions, line pacing, faults, and recovery from what a noisy host sends.
#include <gtest/gtest.h>

#include "BusHost.h"

using namespace ccsim;

namespace {

DeviceConfig at(uint8_t address)
{
    DeviceConfig config;
    config.address = address;
    return config;
}

// Each byte the host receives, with the time it arrives.
std::vector<std::pair<SimTime, uint8_t>> timeline(Bus &bus, SimTime from, SimTime until)
{
    std::vector<std::pair<SimTime, uint8_t>> bytes;
    SimTime t = from;
    while (auto next = bus.nextByteTime()) {
        if (*next > until)
            break;
        t = std::max(t, *next);
        uint8_t byte = 0;
        bus.take(&byte, 1, t);
        bytes.emplace_back(t, byte);
    }
    return bytes;
}

} // namespace

TEST(Bus, AddressPollIsAnsweredByEachDeviceAfterFourMillisecondsTimesItsAddress)
{
    BusHost host;
    host.bus.addDevice(at(3));
    host.bus.addDevice(at(2));
    host.bus.hostWrite({0, 0, 1, 253, 2}, host.now);
    const auto bytes = timeline(host.bus, host.now, 1s);
    ASSERT_EQ(bytes.size(), 7u);
    EXPECT_EQ(bytes[5], std::make_pair(SimTime(8ms), uint8_t(2)));
    EXPECT_EQ(bytes[6], std::make_pair(SimTime(12ms), uint8_t(3)));
}

TEST(Bus, DevicesIgnoreTheBusDuringTheQuietTimeAfterAnAddressPoll)
{
    BusHost host;
    Device &device = host.bus.addDevice();
    device.config().addressPollQuiet = 500ms;
    EXPECT_EQ(host.ask(0, 253), Bytes{2});
    EXPECT_TRUE(host.ask(2, 254).empty());
    EXPECT_EQ(device.commsCounters().ignoredBytes, 5);
    host.passTime(300ms);
    EXPECT_EQ(host.ask(2, 254), replyFrom(2));
}

TEST(Bus, RequestsReachOnlyTheAddressedDevice)
{
    BusHost host;
    Device &two = host.bus.addDevice(at(2));
    Device &three = host.bus.addDevice(at(3));
    EXPECT_EQ(host.ask(3, 231, {1, 0}), replyFrom(3));
    EXPECT_EQ(three.enabledChannels(), 1);
    EXPECT_EQ(two.enabledChannels(), 0xFFFF);
    EXPECT_EQ(host.ask(2, 242), replyFrom(2, {0x87, 0xD6, 0x12}));
}

TEST(Bus, DevicesAnsweringAtOnceCollideAsAWiredAnd)
{
    for (bool pacing : {false, true}) {
        BusHost host(BusConfig{pacing, kByteTime9600});
        host.bus.addDevice(at(2));
        host.bus.addDevice(at(3));
        const Bytes a = replyFrom(2), b = replyFrom(3);
        Bytes expected(a.size());
        for (size_t i = 0; i < a.size(); ++i)
            expected[i] = a[i] & b[i];
        EXPECT_EQ(host.ask(0, 254), expected) << "pacing " << pacing;
    }
}

TEST(Bus, PacingSpendsTheByteTimeOf9600BaudOnEveryByteEchoIncluded)
{
    BusHost host(BusConfig{true, kByteTime9600});
    Device &device = host.bus.addDevice();
    device.config().replyDelay = 3ms;
    host.bus.hostWrite({2, 0, 1, 254, 255}, host.now);
    const auto bytes = timeline(host.bus, host.now, 1s);
    ASSERT_EQ(bytes.size(), 10u);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(bytes[i].first, kByteTime9600 * static_cast<long>(i + 1));
    const SimTime replyStart = kByteTime9600 * 5 + 3ms;
    for (size_t i = 5; i < 10; ++i)
        EXPECT_EQ(bytes[i].first, replyStart + kByteTime9600 * static_cast<long>(i - 4));
    EXPECT_NEAR(toMilliseconds(kByteTime9600), 1.0417, 0.001);
}

TEST(Bus, WithoutPacingTheEchoIsThereAtOnceAndTheReplyAfterTheReplyDelay)
{
    BusHost host;
    host.bus.addDevice().config().replyDelay = 7ms;
    host.bus.hostWrite({2, 0, 1, 254, 255}, 10ms);
    EXPECT_EQ(host.bus.takeAll(10ms).size(), 5u);
    EXPECT_EQ(host.bus.nextByteTime(), SimTime(17ms));
    EXPECT_EQ(host.bus.takeAll(17ms), replyFrom(2));
}

// ---- Faults ----------------------------------------------------------------

TEST(Bus, EachFaultChangesTheAnswerAsNamed)
{
    const Bytes serial = replyFrom(2, {0x87, 0xD6, 0x12});
    for (Fault fault : allFaults()) {
        BusHost host;
        Device &device = host.bus.addDevice();
        device.setFault(fault);
        const Bytes request = encode({2, 1, header::SerialNumber, {}});
        const Bytes all = host.exchange(request, 1s);
        const Bytes reply = all.size() >= 5 ? Bytes(all.begin() + 5, all.end()) : all;
        SCOPED_TRACE(faultName(fault));
        switch (fault) {
        case Fault::None:
            EXPECT_EQ(reply, serial);
            break;
        case Fault::Silence:
            EXPECT_TRUE(reply.empty());
            break;
        case Fault::WrongChecksum:
            ASSERT_EQ(reply.size(), serial.size());
            EXPECT_EQ(Bytes(reply.begin(), reply.end() - 1), Bytes(serial.begin(), serial.end() - 1));
            EXPECT_FALSE(checksumGood(reply));
            break;
        case Fault::Nak:
            EXPECT_EQ(reply, replyFrom(2, {}, header::Nak));
            break;
        case Fault::Busy:
            EXPECT_EQ(reply, replyFrom(2, {}, header::Busy));
            break;
        case Fault::LateReply:
            EXPECT_TRUE(reply.empty());
            EXPECT_EQ(host.passTime(device.config().lateDelay), serial);
            break;
        case Fault::TruncatedReply:
            EXPECT_EQ(reply, Bytes(serial.begin(), serial.begin() + 4));
            break;
        case Fault::Garbage:
            ASSERT_EQ(reply.size(), serial.size() + 3);
            EXPECT_EQ(Bytes(reply.begin() + 3, reply.end()), serial);
            break;
        case Fault::NoEcho:
            EXPECT_EQ(all, serial);
            break;
        }
        // Switched off at run time, the device answers normally again.
        device.setFault(Fault::None);
        EXPECT_EQ(host.ask(2, header::SerialNumber, {}, 6s), serial);
    }
}

TEST(Bus, RefusedRequestsAreNotCarriedOut)
{
    for (Fault fault : {Fault::Nak, Fault::Busy, Fault::Silence}) {
        BusHost host;
        Device &device = host.bus.addDevice();
        device.setFault(fault);
        host.ask(2, 231, {0, 0});
        EXPECT_EQ(device.enabledChannels(), 0xFFFF) << faultName(fault);
    }
}

// ---- Noise from the host -----------------------------------------------------

TEST(Bus, ATruncatedRequestIsDroppedAfterTheInterByteTimeOutAndCounted)
{
    BusHost host;
    Device &device = host.bus.addDevice();
    EXPECT_EQ(host.exchange({2, 0, 1}, 10ms).size(), 3u);
    // Within the time-out the next request is taken as the rest of it.
    EXPECT_EQ(host.exchange({2, 0, 1, 254, 255}, 10ms).size(), 5u);
    EXPECT_EQ(device.commsCounters().badChecksums, 1);
    host.passTime(60ms);
    EXPECT_EQ(host.ask(2, 254), replyFrom(2));
    EXPECT_EQ(device.commsCounters().interByteTimeouts, 1);
    EXPECT_EQ(device.commsCounters().ignoredBytes, 3);

    EXPECT_EQ(host.ask(2, 2), replyFrom(2, {1, 3, 1}));
    EXPECT_EQ(host.ask(2, 3), replyFrom(2));
    EXPECT_EQ(host.ask(2, 2), replyFrom(2, {0, 0, 0}));
}

TEST(Bus, ARequestWithABadChecksumGetsNoReplyAndIsCounted)
{
    BusHost host;
    Device &device = host.bus.addDevice();
    EXPECT_EQ(host.exchange({2, 0, 1, 254, 0}).size(), 5u);
    EXPECT_EQ(device.commsCounters().badChecksums, 1);
    EXPECT_EQ(host.ask(2, 254), replyFrom(2));
}

TEST(Bus, CountersStopAt255)
{
    BusHost host;
    Device &device = host.bus.addDevice();
    for (int i = 0; i < 300; ++i)
        host.exchange({2, 0, 1, 254, 0}, 1ms);
    EXPECT_EQ(device.commsCounters().badChecksums, 255);
}

TEST(Bus, AHostWritingFasterThanTheLineLosesWhatDoesNotFitAndIsAnsweredInTimeAfterwards)
{
    // Serial number requests every millisecond for 4 s, five times what a
    // 9600 baud line carries, read as they come back.
    BusHost host(BusConfig{true, kByteTime9600});
    host.bus.addDevice();
    const Bytes request = encode({2, kHostAddress, header::SerialNumber, {}});
    size_t received = 0;
    size_t mostPending = 0;
    for (int ms = 0; ms < 4000; ++ms) {
        host.bus.advanceTo(host.now);
        host.bus.hostWrite(request, host.now);
        received += host.passTime(1ms).size();
        // What is still on its way stays within the backlog limit.
        const SimTime pending = host.bus.nextEvent() == kForever ? SimTime(0) : host.bus.nextEvent() - host.now;
        mostPending = std::max(mostPending, static_cast<size_t>(pending / kByteTime9600));
    }
    EXPECT_LE(mostPending, size_t(kLineBacklogBytes) + 8);
    // Each line carried at most its rate, about 960 bytes a second: the
    // host's (the echo) and the device's (the replies).
    EXPECT_LE(received, size_t(2 * 4.6 * 960));
    EXPECT_EQ(host.bus.deviceAt(0).commsCounters().ignoredBytes, 255) << "the lost bytes are counted";

    // Once the backlog has drained (well under two seconds), the next request
    // is answered at once.
    host.passTime(2s);
    EXPECT_EQ(host.ask(2, header::SerialNumber), replyFrom(2, {0x87, 0xD6, 0x12}));
}
