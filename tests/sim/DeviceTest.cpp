// The device model: what it answers to each request, and how requests change
// its state.
#include <gtest/gtest.h>

#include "BusHost.h"

using namespace ccsim;

namespace {

class DeviceTest : public ::testing::Test
{
protected:
    DeviceTest() { device = &host.bus.addDevice(); }
    BusHost host;
    Device *device = nullptr;
};

struct ReadCase
{
    uint8_t header;
    Bytes data;
    Bytes replyData;
};

} // namespace

TEST_F(DeviceTest, AnswersEveryReadWithItsDefaultIdentity)
{
    const std::vector<ReadCase> cases = {
        {254, {}, {}},
        {249, {}, {2, 20}},
        {248, {}, {0}},
        {246, {}, textBytes("Virtual Validators")},
        {245, {}, textBytes("Coin Acceptor")},
        {244, {}, textBytes("CV-16")},
        {243, {}, {3}},
        {242, {}, {0x87, 0xD6, 0x12}}, // 1234567, low byte first
        {241, {}, textBytes("V1.04")},
        {237, {}, {0}},
        {236, {}, {0}},
        {230, {}, {0xFF, 0xFF}},
        {229, {}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {227, {}, {1}},
        {209, {5}, {2}},
        {196, {}, {0x6F, 0x26}}, // 2019-03-15 after 2000
        {195, {}, {0xC2, 0x30}}, // 2024-06-02
        {192, {}, textBytes("STD01")},
        {184, {8}, textBytes("EU200A")},
        {184, {16}, textBytes("......")},
        {170, {}, textBytes("2000")},
        {169, {}, {0x84}},
        {4, {}, {1, 4, 6}},
        {2, {}, {0, 0, 0}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(host.ask(2, c.header, c.data), replyFrom(2, c.replyData)) << "header " << int(c.header);
        // To address 0 the same device answers from its own address.
        EXPECT_EQ(host.ask(0, c.header, c.data), replyFrom(2, c.replyData)) << "header " << int(c.header);
    }
}

TEST_F(DeviceTest, RepliesGoBackToTheRequestsSource)
{
    for (uint8_t source : {1, 7, 200}) {
        const Bytes request = encode({2, source, header::SerialNumber, {}});
        const Bytes all = host.exchange(request);
        ASSERT_GT(all.size(), request.size());
        EXPECT_EQ(Bytes(all.begin() + long(request.size()), all.end()),
                  encode({source, 2, header::Reply, {0x87, 0xD6, 0x12}}))
            << "source " << int(source);
    }
}

TEST_F(DeviceTest, SelfCheckAndCoinPosition)
{
    EXPECT_EQ(host.ask(2, 232), replyFrom(2, {0})) << "no fault";
    device->config().selfCheckFault = 2;
    device->config().selfCheckExtra = 3;
    EXPECT_EQ(host.ask(2, 232), replyFrom(2, {2, 3})) << "fault 2 on part 3";

    const Bytes nak = replyFrom(2, {}, header::Nak);
    const std::vector<ReadCase> positions = {
        {212, {1}, {0x01, 0x00}}, {212, {8}, {0x80, 0x00}}, {212, {9}, {0x00, 0x01}},
        {212, {16}, {0x00, 0x80}}, {212, {0}, nak},         {212, {17}, nak},
        {212, {}, nak},
    };
    for (const auto &c : positions) {
        const Bytes expected = c.replyData == nak ? nak : replyFrom(2, c.replyData);
        EXPECT_EQ(host.ask(2, c.header, c.data), expected) << "coin " << (c.data.empty() ? -1 : c.data[0]);
    }
}

TEST_F(DeviceTest, RequestsToAnotherAddressAreLeftAlone)
{
    EXPECT_TRUE(host.ask(3, 254).empty());
    EXPECT_EQ(device->commsCounters(), CommsCounters{});
}

TEST_F(DeviceTest, RefusesUnknownHeadersAndMalformedDataWithNak)
{
    const Bytes nak = replyFrom(2, {}, header::Nak);
    EXPECT_EQ(host.ask(2, 100), nak);
    EXPECT_EQ(host.ask(2, 0), nak);
    EXPECT_EQ(host.ask(2, 231, {0xFF}), nak);            // one byte short
    EXPECT_EQ(host.ask(2, 185, {17, 'A', 'B', 'C', 'D', 'E', 'F'}), nak); // no channel 17
    EXPECT_EQ(host.ask(2, 209, {0}), nak);
    EXPECT_EQ(host.ask(2, 251, {1}), nak);               // the host's address
    EXPECT_EQ(host.ask(2, 251, {0}), nak);
    EXPECT_EQ(device->address(), 2);
}

TEST_F(DeviceTest, WritesChangeWhatLaterReadsReturn)
{
    const Bytes ack = replyFrom(2);
    EXPECT_EQ(host.ask(2, 231, {0x0F, 0x80}), ack);
    EXPECT_EQ(host.ask(2, 230), replyFrom(2, {0x0F, 0x80}));
    EXPECT_EQ(host.ask(2, 210, {3, 7}), ack);
    EXPECT_EQ(host.ask(2, 209, {3}), replyFrom(2, {7}));
    EXPECT_EQ(host.ask(2, 185, {4, 'G', 'B', '0', '2', '0', 'A'}), ack);
    EXPECT_EQ(host.ask(2, 184, {4}), replyFrom(2, textBytes("GB020A")));
    EXPECT_EQ(host.ask(2, 228, {0}), ack);
    EXPECT_EQ(host.ask(2, 227), replyFrom(2, {0}));
    EXPECT_TRUE(device->masterInhibit());
    EXPECT_EQ(host.ask(2, 233, {0x05}), ack);
    EXPECT_EQ(device->latchedOutputs(), 0x05);
    EXPECT_EQ(host.ask(2, 238, {0x02}), ack);
    EXPECT_EQ(device->lastOutputTest(), 0x02);
    EXPECT_EQ(host.ask(2, 240, {0x04}), ack);
    EXPECT_EQ(device->lastSolenoidTest(), 0x04);
    device->setInputLines(0x81);
    device->setOptoStates(0x03);
    EXPECT_EQ(host.ask(2, 237), replyFrom(2, {0x81}));
    EXPECT_EQ(host.ask(2, 236), replyFrom(2, {0x03}));
}

TEST_F(DeviceTest, AddressChangeIsAcknowledgedFromTheNewAddress)
{
    EXPECT_EQ(host.ask(2, 251, {5}), replyFrom(5));
    EXPECT_EQ(device->address(), 5);
    EXPECT_TRUE(host.ask(2, 254).empty());
    EXPECT_EQ(host.ask(5, 254), replyFrom(5));
}

TEST_F(DeviceTest, SomeDevicesAcknowledgeAnAddressChangeFromTheOldAddress)
{
    device->config().ackAddressChangeFromOldAddress = true;
    EXPECT_EQ(host.ask(2, 251, {9}), replyFrom(2));
    EXPECT_EQ(device->address(), 9);
}

TEST_F(DeviceTest, RandomAddressesAvoidZeroOneAndTwo)
{
    for (int i = 0; i < 300; ++i) {
        const uint8_t before = device->address();
        const Bytes reply = host.ask(before, 250);
        const uint8_t after = device->address();
        EXPECT_GE(after, 3);
        EXPECT_EQ(reply, replyFrom(after));
    }
}

TEST_F(DeviceTest, ResetAcknowledgesThenComesBackInItsPowerUpState)
{
    ASSERT_EQ(host.ask(2, 231, {0, 0}), replyFrom(2));
    ASSERT_EQ(host.ask(2, 228, {0}), replyFrom(2));
    ASSERT_EQ(host.ask(2, 233, {0xFF}), replyFrom(2));
    ASSERT_EQ(host.ask(2, 185, {1, 'X', 'X', '0', '0', '1', 'A'}), replyFrom(2));
    ASSERT_EQ(host.ask(2, 251, {7}), replyFrom(7));
    device->insertCoin(1);
    device->raiseError(254);
    host.exchange({7, 0, 1}); // a partial message, counted once it times out

    EXPECT_EQ(host.ask(7, 1), replyFrom(7));
    EXPECT_EQ(device->events().counter, 0);
    EXPECT_EQ(device->enabledChannels(), 0xFFFF);
    EXPECT_FALSE(device->masterInhibit());
    EXPECT_EQ(device->latchedOutputs(), 0);
    EXPECT_EQ(device->commsCounters(), CommsCounters{});
    // Stored settings survive.
    EXPECT_EQ(device->address(), 7);
    EXPECT_EQ(host.ask(7, 184, {1}), replyFrom(7, textBytes("XX001A")));
    EXPECT_EQ(host.ask(7, 229), replyFrom(7, Bytes(11, 0)));
}

TEST_F(DeviceTest, CoinsCreditOnlyEnabledChannelsWhenTheMasterInhibitAllows)
{
    device->setEnabledChannels(0x0001);
    EXPECT_TRUE(device->insertCoin(1));
    EXPECT_FALSE(device->insertCoin(2));       // channel inhibited
    device->setMasterInhibit(true);
    EXPECT_FALSE(device->insertCoin(1));       // master inhibit
    EXPECT_FALSE(device->insertCoin(17));      // no such channel: nothing logged
    device->setMasterInhibit(false);
    device->raiseError(13);
    // Newest first: error 13, inhibited, inhibited, credit channel 1 path 1.
    EXPECT_EQ(host.ask(2, 229), replyFrom(2, {4, 0, 13, 0, 2, 0, 2, 1, 1, 0, 0}));
}

TEST_F(DeviceTest, TheEventCounterWrapsFrom255To1)
{
    for (int i = 0; i < 254; ++i)
        device->raiseError(1);
    EXPECT_EQ(device->events().counter, 254);
    device->insertCoin(8);
    EXPECT_EQ(device->events().counter, 255);
    device->insertCoin(7);
    EXPECT_EQ(device->events().counter, 1);
    EXPECT_EQ(host.ask(2, 229), replyFrom(2, {1, 7, 3, 8, 3, 0, 1, 0, 1, 0, 1}));
}
