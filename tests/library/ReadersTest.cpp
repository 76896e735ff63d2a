// What each reply reader accepts and refuses: acknowledgements, fixed
// replies, the simple poll's own test, texts and coin identifiers, and the
// transaction's echo handling.
#include <cstring>

#include "LibraryTestSupport.h"

namespace {

struct AckCase
{
    const char *what;
    Bytes ack;
    uint8_t expected; // the address the acknowledgement is checked against
    bool accepted;
};

void PrintTo(const AckCase &c, std::ostream *out)
{
    *out << c.what;
}

class AckRules : public LibraryTest, public testing::WithParamInterface<AckCase>
{
};

TEST_P(AckRules, ClearCommsStatus)
{
    const AckCase &c = GetParam();
    m_port.queue(c.ack);
    EXPECT_EQ(CCClearsCom(&m_handle, c.expected), c.accepted) << c.what;
    EXPECT_EQ(m_port.reads().back(), 5);
    EXPECT_EQ(m_port.pending(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, AckRules,
    testing::Values(AckCase{"from the device", reply(3), 3, true},
                    AckCase{"to another destination", message(2, 3, 0), 3, false},
                    AckCase{"with a length", Bytes{1, 1, 3, 0, 251}, 3, false},
                    AckCase{"negative acknowledgement", message(1, 3, 5), 3, false},
                    AckCase{"busy", message(1, 3, 6), 3, false},
                    AckCase{"wrong checksum", corrupted(reply(3)), 3, false},
                    AckCase{"from another device", reply(4), 3, false},
                    AckCase{"from any device to address 0", reply(4), 0, true},
                    AckCase{"to address 0, wrong checksum", corrupted(reply(4)), 0, false}));

TEST_F(LibraryTest, SetAddressAckComesFromTheNewAddress)
{
    m_port.queue(reply(3));
    EXPECT_FALSE(CCSet_Adress(&m_handle, 3, 5));
    m_port.queue(reply(5));
    EXPECT_TRUE(CCSet_Adress(&m_handle, 3, 5));
    m_port.queue(reply(9));
    EXPECT_TRUE(CCSet_Adress(&m_handle, 3, 0)) << "new address 0 accepts any source";
}

TEST_F(LibraryTest, RandomAddressAcceptsAnySourceButStillTestsTheRest)
{
    for (uint8_t source : {3, 0, 42, 255}) {
        uint8_t address = 3;
        m_port.queue(reply(source));
        EXPECT_TRUE(CCSet_Rand_Adress(&m_handle, &address));
        EXPECT_EQ(address, source);
    }
    for (const Bytes &bad : {corrupted(reply(42)), message(1, 42, 5), message(2, 42, 0)}) {
        uint8_t address = 3;
        m_port.queue(bad);
        EXPECT_FALSE(CCSet_Rand_Adress(&m_handle, &address));
        EXPECT_EQ(address, 3);
    }
}

TEST_F(LibraryTest, AckSourceRuleUsesTheEchoedHeader)
{
    // The echo is what the acknowledgement test sees as the request's
    // header: an echo that reads 250 lets any source pass, and one that
    // no longer reads 250 binds the source again.
    m_port.setEcho(false);
    m_port.queue(joined({3, 0, 1, 250, 2}, reply(9)));
    EXPECT_TRUE(CCClearsCom(&m_handle, 3));

    uint8_t address = 3;
    m_port.reset();
    m_port.queue(joined({3, 0, 1, 3, 249}, reply(9)));
    EXPECT_FALSE(CCSet_Rand_Adress(&m_handle, &address));
    EXPECT_EQ(address, 3);
}

TEST_F(LibraryTest, ResetToAddressZeroTellsWhoAcknowledged)
{
    uint8_t address = 0;
    m_port.queue(reply(6));
    EXPECT_TRUE(CCReSet(&m_handle, &address));
    EXPECT_EQ(address, 6);

    address = 3;
    m_port.queue(reply(6));
    EXPECT_FALSE(CCReSet(&m_handle, &address));
    EXPECT_EQ(address, 3);
}

struct FixedCase
{
    const char *what;
    Bytes reply;
    uint8_t address;
    bool accepted;
};

void PrintTo(const FixedCase &c, std::ostream *out)
{
    *out << c.what;
}

class FixedRules : public LibraryTest, public testing::WithParamInterface<FixedCase>
{
};

TEST_P(FixedRules, Status)
{
    const FixedCase &c = GetParam();
    m_port.queue(c.reply);
    EXPECT_EQ(CCGet_Status(&m_handle, c.address), c.accepted ? 0x42 : 255) << c.what;
    EXPECT_EQ(m_port.reads(), (std::vector<int32_t>{4, 1, 6})) << "one read of 6 bytes";
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FixedRules,
    testing::Values(FixedCase{"from the device", reply(3, {0x42}), 3, true},
                    FixedCase{"from source 7 to address 0", reply(7, {0x42}), 0, true},
                    FixedCase{"from source 7 to address 3", reply(7, {0x42}), 3, false},
                    FixedCase{"to another destination", message(2, 3, 0, {0x42}), 3, false},
                    FixedCase{"with a header", message(1, 3, 5, {0x42}), 3, false},
                    FixedCase{"wrong checksum", corrupted(reply(3, {0x42})), 3, false},
                    // Length 2 announced, but the six bytes read carry a
                    // checksum that is right for what was read.
                    FixedCase{"wrong length", Bytes{1, 2, 3, 0, 0x42, 0x76}, 3, false},
                    FixedCase{"an acknowledgement instead", Bytes{1, 0, 3, 0, 252, 0}, 3, false}));

TEST_F(LibraryTest, FixedReplyFailureLeavesTheRestInTheInput)
{
    // A longer reply than expected: the reader takes its n + 5 bytes and
    // the rest waits for the next read.
    m_port.queue(reply(3, {1, 2, 3}));
    EXPECT_EQ(CCGet_DB(&m_handle, 3), 0);
    EXPECT_EQ(m_port.pending(), 2u);
}

TEST_F(LibraryTest, ThreeByteReplies)
{
    m_port.queue(reply(3, {0x12, 0x34, 0x56}));
    EXPECT_EQ(CCGet_Serial_Number(&m_handle, 3), 0x563412);
    m_port.queue(reply(3, {0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(CCGet_Serial_Number(&m_handle, 3), 0xFFFFFF);
    m_port.queue(reply(3, {0x12, 0x34}));
    EXPECT_EQ(CCGet_Serial_Number(&m_handle, 3), -1) << "two data bytes are not a serial number";
}

struct PollCase
{
    const char *what;
    Bytes reply;
    bool accepted;
};

void PrintTo(const PollCase &c, std::ostream *out)
{
    *out << c.what;
}

class SimplePollRules : public LibraryTest, public testing::WithParamInterface<PollCase>
{
};

TEST_P(SimplePollRules, SourceIsNotCompared)
{
    const PollCase &c = GetParam();
    uint8_t address = 3;
    m_port.queue(c.reply);
    EXPECT_EQ(CCGet_Simple_Poll(&m_handle, &address), c.accepted) << c.what;
    EXPECT_EQ(address, c.accepted ? c.reply[2] : 3) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Replies, SimplePollRules,
                         testing::Values(PollCase{"from the device", reply(3), true},
                                         PollCase{"from source 9", Bytes{1, 0, 9, 0, 246}, true},
                                         PollCase{"from source 0", reply(0), true},
                                         PollCase{"wrong checksum", Bytes{1, 0, 9, 0, 245}, false},
                                         PollCase{"to another destination", message(0, 9, 0), false},
                                         PollCase{"with a length", Bytes{1, 1, 9, 0, 245}, false},
                                         PollCase{"negative acknowledgement", message(1, 9, 5), false}));

TEST_F(LibraryTest, TextFromAnySourceWithAnyHeader)
{
    CountedString s = junkText();
    m_port.queue(textReply(9, "Acme", 17));
    CCGet_Manufacturer(&s, &m_handle, 3);
    EXPECT_EQ(textOf(s), "Acme");

    m_port.queue(corrupted(textReply(3, "Acme")));
    CCGet_Manufacturer(&s, &m_handle, 3);
    EXPECT_EQ(textOf(s), "");
    EXPECT_EQ(m_port.pending(), 0u);

    s = junkText();
    m_port.queue(textReply(3, ""));
    CCGet_Product(&s, &m_handle, 3);
    EXPECT_EQ(s.bytes[0], 0);
}

TEST_F(LibraryTest, TextIsEmptiedBeforeAnythingIsSent)
{
    CountedString s = junkText();
    m_port.failWrite(1);
    CCGet_BuildCode(&s, &m_handle, 3);
    EXPECT_EQ(s.bytes[0], 0);
}

TEST_F(LibraryTest, LongestTexts)
{
    // 254 data bytes: all of them; 255: read in full, result empty. The
    // result buffer is exactly 256 bytes on the heap, so an overrun shows.
    auto result = std::make_unique<CountedString>();
    const std::string longest(254, 'a');
    m_port.queue(textReply(3, longest));
    CCSoftVersion(result.get(), &m_handle, 3);
    EXPECT_EQ(textOf(*result), longest);
    EXPECT_EQ(m_port.reads(), (std::vector<int32_t>{4, 1, 4, 255}));

    m_port.reset();
    m_port.queue(textReply(3, std::string(255, 'b')));
    CCSoftVersion(result.get(), &m_handle, 3);
    EXPECT_EQ(result->bytes[0], 0);
    EXPECT_EQ(m_port.reads(), (std::vector<int32_t>{4, 1, 4, 256}));
    EXPECT_EQ(m_port.pending(), 0u) << "the line stays in step";
}

TEST_F(LibraryTest, TextReadsStopAtTheFirstFailure)
{
    CountedString s = junkText();
    m_port.queue({1, 10, 3, 0}); // a head announcing 10 bytes that never come
    CCGet_Equipement(&s, &m_handle, 3);
    EXPECT_EQ(s.bytes[0], 0);
    EXPECT_EQ(m_port.reads(), (std::vector<int32_t>{4, 1, 4, 11}));
}

TEST_F(LibraryTest, EventBufferCopiesWhatTheDeviceSent)
{
    auto destination = std::make_unique<uint8_t[]>(254);
    std::memset(destination.get(), 0xEE, 254);
    Bytes events(254);
    for (size_t i = 0; i < events.size(); ++i)
        events[i] = static_cast<uint8_t>(i);
    m_port.queue(reply(3, events));
    CCGet_Buffer(&m_handle, 3, destination.get());
    EXPECT_EQ(Bytes(destination.get(), destination.get() + 254), events);

    std::memset(destination.get(), 0xEE, 254);
    m_port.queue(reply(3, {}));
    CCGet_Buffer(&m_handle, 3, destination.get());
    m_port.queue(reply(3, Bytes(255, 1)));
    CCGet_Buffer(&m_handle, 3, destination.get());
    EXPECT_EQ(Bytes(destination.get(), destination.get() + 254), Bytes(254, 0xEE));
}

struct CoinIdCase
{
    const char *what;
    Bytes reply;
    std::string identifier;
};

void PrintTo(const CoinIdCase &c, std::ostream *out)
{
    *out << c.what;
}

class CoinIdReplies : public LibraryTest, public testing::WithParamInterface<CoinIdCase>
{
};

TEST_P(CoinIdReplies, ReadWholeAndKeepInStep)
{
    const CoinIdCase &c = GetParam();
    auto result = std::make_unique<CountedString>();
    *result = junkText();
    m_port.queue(c.reply);
    m_port.queue(reply(3, {0x42}));
    CCGet_CoinId(result.get(), &m_handle, 3, 4);
    EXPECT_EQ(textOf(*result), c.identifier) << c.what;
    EXPECT_EQ(m_port.writes()[1], Bytes{4});
    const int32_t length = c.reply[1];
    EXPECT_EQ(m_port.reads(), (std::vector<int32_t>{4, 1, 1, 4, length + 1})) << c.what;
    // Whatever the reply was, the next exchange finds the line in step.
    EXPECT_EQ(CCGet_Status(&m_handle, 3), 0x42) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, CoinIdReplies,
    testing::Values(CoinIdCase{"six characters", textReply(3, "GB100A"), "GB100A"},
                    CoinIdCase{"any source and header", textReply(9, "EU200B", 5), "EU200B"},
                    CoinIdCase{"wrong checksum", corrupted(textReply(3, "GB100A")), ""},
                    CoinIdCase{"shorter", textReply(3, "GB1"), "GB1"},
                    CoinIdCase{"longer", textReply(3, "GB100A-2019"), "GB100A-2019"},
                    CoinIdCase{"empty", textReply(3, ""), ""},
                    CoinIdCase{"longest", textReply(3, std::string(254, 'c')), std::string(254, 'c')},
                    CoinIdCase{"255 characters", textReply(3, std::string(255, 'c')), ""},
                    CoinIdCase{"longer, wrong checksum", corrupted(textReply(3, "GB100A-2019")), ""}));

TEST_F(LibraryTest, EchoIsConsumedButNotCompared)
{
    // A garbled echo of the right size still counts as the echo.
    m_port.setEcho(false);
    m_port.queue(joined({9, 9, 9, 9, 9}, reply(3, {7})));
    EXPECT_EQ(CCGet_DB(&m_handle, 3), 7);

    // The echo of the data is read with the size that was written, even
    // when the echoed length byte says otherwise.
    m_port.reset();
    m_port.queue(joined({2, 0, 1, 231, 255, 0, 21}, reply(2)));
    EXPECT_TRUE(CCSet_Channel_Enable(&m_handle, 2, 0x00FF));
    EXPECT_EQ(m_port.reads(), (std::vector<int32_t>{4, 2, 1, 5}));
}

TEST_F(LibraryTest, NoEchoAtAll)
{
    m_port.setEcho(false);
    uint8_t address = 3;
    EXPECT_FALSE(CCGet_Simple_Poll(&m_handle, &address));
    EXPECT_EQ(m_port.reads(), std::vector<int32_t>{4});
}

} // namespace
