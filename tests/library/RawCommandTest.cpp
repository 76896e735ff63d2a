// The raw pass-through: the request block as sent, the three layouts of the
// reply buffer, and the limits of both buffers. Blocks and reply buffers are
// heap arrays of exactly their documented size, so that any read or write
// past them is caught by the address sanitizer.
#include <cstring>
#include <memory>

#include "LibraryTestSupport.h"

namespace {

class RawCommand : public LibraryTest
{
protected:
    RawCommand()
    {
        std::memset(m_block.get(), 0, 255);
        std::memset(m_reply.get(), 0xEE, 260);
    }

    void setBlock(const Bytes &bytes) { std::memcpy(m_block.get(), bytes.data(), bytes.size()); }
    CCBool send() { return CCSend_Command(&m_handle, m_block.get(), m_reply.get()); }
    Bytes replyBytes(size_t from, size_t to) const { return Bytes(m_reply.get() + from, m_reply.get() + to); }

    std::unique_ptr<uint8_t[]> m_block = std::make_unique<uint8_t[]>(255);
    std::unique_ptr<uint8_t[]> m_reply = std::make_unique<uint8_t[]>(260);
};

TEST_F(RawCommand, FramedReplyAsReceived)
{
    setBlock({2, 0, 1, 254});
    m_port.queue(reply(2));
    EXPECT_TRUE(send());
    EXPECT_EQ(m_port.writes(), (std::vector<Bytes>{{2, 0, 1, 254}, {255}}));
    EXPECT_EQ(m_port.reads(), (std::vector<int32_t>{4, 1, 2, 3}));
    EXPECT_EQ(replyBytes(0, 6), (Bytes{1, 0, 2, 0, 253, 0xEE}));
}

TEST_F(RawCommand, NothingInTheReplyIsTested)
{
    setBlock({2, 0, 1, 254});
    const Bytes bad = corrupted(message(7, 9, 5, {1, 2, 3}));
    m_port.queue(bad);
    EXPECT_TRUE(send());
    EXPECT_EQ(replyBytes(0, bad.size()), bad);
}

TEST_F(RawCommand, SendsTheBlockAsItIs)
{
    // The caller's source byte and data; the echo of the data comes back
    // into the block.
    setBlock({2, 3, 5, 231, 10, 20, 30});
    m_port.setEcho(false);
    m_port.queue(joined({2, 3, 5, 231, 11, 21, 31, 0}, reply(2)));
    EXPECT_TRUE(send());
    EXPECT_EQ(m_port.wire(), message(2, 5, 231, {10, 20, 30}));
    EXPECT_EQ(m_port.writeSizes(), (std::vector<int32_t>{4, 3, 1}));
    EXPECT_EQ(Bytes(m_block.get() + 4, m_block.get() + 7), (Bytes{11, 21, 31}));
    EXPECT_EQ(replyBytes(0, 5), reply(2));
}

TEST_F(RawCommand, LongestRequestAndLongestReply)
{
    Bytes block{2, 251, 1, 100};
    for (int i = 0; i < 251; ++i)
        block.push_back(static_cast<uint8_t>(i));
    setBlock(block);
    const Bytes longest = message(1, 2, 0, Bytes(255, 0x5A));
    m_port.queue(longest);
    EXPECT_TRUE(send());
    EXPECT_EQ(m_port.writeSizes(), (std::vector<int32_t>{4, 251, 1}));
    EXPECT_EQ(m_port.reads(), (std::vector<int32_t>{4, 251, 1, 2, 258}));
    EXPECT_EQ(replyBytes(0, 260), longest);
}

TEST_F(RawCommand, DataLengthAbove251IsRefused)
{
    for (int length : {252, 255}) {
        std::memset(m_reply.get(), 0xEE, 260);
        setBlock({2, static_cast<uint8_t>(length), 1, 100});
        m_port.queue(reply(2));
        EXPECT_FALSE(send()) << length;
        EXPECT_EQ(replyBytes(0, 254), Bytes(254, 0)) << length;
        EXPECT_EQ(replyBytes(254, 260), Bytes(6, 0xEE)) << length;
    }
    EXPECT_TRUE(m_port.writes().empty());
    EXPECT_TRUE(m_port.reads().empty());
}

TEST_F(RawCommand, FailedExchangeZeroesTheFirst254Bytes)
{
    setBlock({2, 0, 1, 254});
    m_port.queue(reply(2));
    m_port.failRead(2); // the echo of the checksum
    EXPECT_FALSE(send());
    EXPECT_EQ(replyBytes(0, 254), Bytes(254, 0));
    EXPECT_EQ(replyBytes(254, 260), Bytes(6, 0xEE));
    EXPECT_EQ(m_port.reads().size(), 2u) << "no reply read";

    m_port.reset();
    std::memset(m_reply.get(), 0xEE, 260);
    m_port.failWrite(1);
    EXPECT_FALSE(send());
    EXPECT_EQ(replyBytes(0, 254), Bytes(254, 0));
}

TEST_F(RawCommand, FailedReplyReadKeepsWhatArrived)
{
    setBlock({2, 0, 1, 254});
    m_port.queue({1, 6, 2, 0}); // announces 6 data bytes, sends none
    EXPECT_FALSE(send());
    EXPECT_EQ(replyBytes(0, 5), (Bytes{1, 6, 2, 0, 0xEE}));
    EXPECT_EQ(m_port.reads().back(), 9);

    m_port.reset();
    EXPECT_FALSE(send()) << "no reply at all";
    EXPECT_EQ(m_port.reads().back(), 2);
}

TEST_F(RawCommand, BareBytesAreCollected)
{
    for (uint8_t header : {250, 251, 252, 253}) {
        m_port.reset();
        std::memset(m_reply.get(), 0xEE, 260);
        setBlock({0, 0, 1, header});
        m_port.queue({2, 7}); // two devices answer
        EXPECT_TRUE(send()) << int(header);
        EXPECT_EQ(replyBytes(0, 8), (Bytes{0, 2, 0, 0xEE, 0xEE, 2, 7, 0xEE})) << int(header);
        EXPECT_EQ(m_port.reads(), (std::vector<int32_t>{4, 1, 1, 1, 1})) << int(header);
    }
}

TEST_F(RawCommand, NoBareByteIsAFailure)
{
    setBlock({0, 0, 1, 253});
    EXPECT_FALSE(send());
    EXPECT_EQ(replyBytes(0, 6), (Bytes{0, 0, 0, 0xEE, 0xEE, 0xEE}));
}

TEST_F(RawCommand, CollectionUsesTheEchoedHeader)
{
    setBlock({2, 0, 1, 254});
    m_port.setEcho(false);
    m_port.queue({2, 0, 1, 253, 255, 9});
    EXPECT_TRUE(send());
    EXPECT_EQ(replyBytes(0, 6), (Bytes{0, 1, 0, 0xEE, 0xEE, 9}));
}

TEST_F(RawCommand, CollectionStopsWhenTheBufferIsFull)
{
    setBlock({0, 0, 1, 253});
    Bytes flood(300);
    for (size_t i = 0; i < flood.size(); ++i)
        flood[i] = static_cast<uint8_t>(i);
    m_port.queue(flood);
    EXPECT_TRUE(send());
    EXPECT_EQ(m_reply[1], 255);
    EXPECT_EQ(replyBytes(5, 260), Bytes(flood.begin(), flood.begin() + 255));
    // 255 single-byte reads after the echo, and no read waiting for a 256th.
    EXPECT_EQ(m_port.reads().size(), 2u + 255u);
    EXPECT_EQ(m_port.pending(), 45u);
}

TEST_F(RawCommand, CollectionOfExactly255BytesEndsWithoutAFailingRead)
{
    setBlock({0, 0, 1, 253});
    m_port.queue(Bytes(255, 3));
    EXPECT_TRUE(send());
    EXPECT_EQ(m_reply[1], 255);
    EXPECT_EQ(m_port.reads().size(), 2u + 255u);
}

} // namespace
