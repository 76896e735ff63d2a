// Reads, writes and time-outs of an open port, over a pseudo-terminal whose
// other side the test drives.
#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <thread>
#include <vector>

#include "PontelDeclar.h"
#include "PseudoTerminal.h"

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

namespace {

class PontelIo : public ::testing::Test
{
protected:
    void open(const Timeouts &timeouts)
    {
        m_handle = openPort(1, timeouts);
        ASSERT_NE(m_handle, -1);
    }

    // Sends the chunks from the peer side, one every pause, on a thread.
    void sendLater(std::vector<Bytes> chunks, std::chrono::milliseconds pause)
    {
        m_sender = std::thread([this, chunks = std::move(chunks), pause] {
            for (const Bytes &chunk : chunks) {
                std::this_thread::sleep_for(pause);
                m_pty.send(chunk);
            }
        });
    }

    Bytes read(int32_t count, bool expectSuccess = true)
    {
        Bytes buffer(size_t(count), 0xEE);
        EXPECT_EQ(RcvFromCom(&m_handle, buffer.data(), count), expectSuccess ? 1 : 0);
        return buffer;
    }

    void TearDown() override
    {
        if (m_sender.joinable())
            m_sender.join();
        CloseCom(&m_handle);
    }

    PseudoTerminal m_pty;
    ScopedEnvironment m_mapping{"PONTEL_COM1", m_pty.path()};
    PortHandle m_handle = -1;
    std::thread m_sender;
};

} // namespace

TEST_F(PontelIo, BytesArrivedBeforeTheReadStayQueuedInOrder)
{
    open({200, 200, 1000, 0, 0});
    m_pty.send({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    std::this_thread::sleep_for(50ms);

    EXPECT_EQ(read(4), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(read(1), (Bytes{5}));
    EXPECT_EQ(read(5), (Bytes{6, 7, 8, 9, 10}));
}

TEST_F(PontelIo, OpeningThePortDiscardsWhatAnEarlierUserLeftUnread)
{
    // A reply that nobody read before the port was closed must not be taken
    // for the answer to the first request after it is opened again.
    open({200, 200, 300, 0, 0});
    m_pty.send({0xAA, 0xBB, 0xCC});
    std::this_thread::sleep_for(50ms);
    ASSERT_EQ(CloseCom(&m_handle), 1);

    open({200, 200, 300, 0, 0});
    read(1, false);
    m_pty.send({7});
    EXPECT_EQ(read(1), (Bytes{7}));
}

TEST_F(PontelIo, ReadCollectsBytesArrivingInPiecesWithinTheInterval)
{
    open({500, 0, 0, 0, 0});
    sendLater({{0x10}, {0x11, 0x12}, {0x13, 0x14, 0x15}}, 30ms);

    EXPECT_EQ(read(6), (Bytes{0x10, 0x11, 0x12, 0x13, 0x14, 0x15}));
}

TEST_F(PontelIo, ReadWithNoDataFailsWhenTheTotalTimeOutExpires)
{
    struct Case
    {
        Timeouts timeouts;
        int32_t count;
        long long atLeastMs;
    };
    const Case cases[] = {
        {{0, 0, 300, 0, 0}, 5, 250},
        {{0, 100, 0, 0, 0}, 3, 250},
        {{0, 50, 100, 0, 0}, 4, 250},
        // The interval runs between bytes only: it does not end a read that
        // is still waiting for its first byte.
        {{50, 0, 400, 0, 0}, 2, 350},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.atLeastMs);
        open(c.timeouts);
        const auto start = std::chrono::steady_clock::now();
        read(c.count, false);
        EXPECT_GE(millisecondsSince(start), c.atLeastMs);
        EXPECT_EQ(CloseCom(&m_handle), 1);
    }
}

TEST_F(PontelIo, GapLongerThanTheIntervalEndsTheReadAndLaterBytesStayInStep)
{
    open({100, 0, 0, 0, 0});
    m_pty.send({0xA1, 0xA2});
    const auto start = std::chrono::steady_clock::now();
    const Bytes partial = read(5, false);
    EXPECT_GE(millisecondsSince(start), 80);
    EXPECT_EQ(partial[0], 0xA1);
    EXPECT_EQ(partial[1], 0xA2);

    m_pty.send({0xB1, 0xB2, 0xB3});
    EXPECT_EQ(read(3), (Bytes{0xB1, 0xB2, 0xB3}));
}

TEST_F(PontelIo, TotalTimeOutEndsAReadWhoseBytesTrickleWithinTheInterval)
{
    open({300, 0, 150, 0, 0});
    sendLater(std::vector<Bytes>(10, Bytes{0x55}), 50ms);

    const auto start = std::chrono::steady_clock::now();
    read(10, false);
    EXPECT_GE(millisecondsSince(start), 140);
}

TEST_F(PontelIo, ReadUpToReturnsWhatArrivedBeforeTheTimeOut)
{
    open({0, 0, 200, 0, 0});
    uint8_t buffer[8] = {};

    EXPECT_EQ(PontelReadUpTo(&m_handle, buffer, 8), 0);

    m_pty.send({7, 8, 9});
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(PontelReadUpTo(&m_handle, buffer, 8), 3);
    EXPECT_EQ(Bytes(buffer, buffer + 3), (Bytes{7, 8, 9}));

    Bytes ten(10);
    std::iota(ten.begin(), ten.end(), uint8_t(20));
    m_pty.send(ten);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(PontelReadUpTo(&m_handle, buffer, 8), 8);
    EXPECT_EQ(Bytes(buffer, buffer + 8), Bytes(ten.begin(), ten.begin() + 8));
    EXPECT_EQ(PontelReadUpTo(&m_handle, buffer, 8), 2);
    EXPECT_EQ(Bytes(buffer, buffer + 2), (Bytes{28, 29}));
}

TEST_F(PontelIo, WrittenBytesReachThePeerInOrder)
{
    open({0, 0, 0, 0, 0});
    const uint8_t frame[] = {2, 0, 1, 254, 255};
    EXPECT_EQ(SendToCom(&m_handle, frame, 5), 1);
    EXPECT_EQ(m_pty.receive(5, 2s), Bytes(frame, frame + 5));

    Bytes block(3000);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = uint8_t(i * 7);
    EXPECT_EQ(SendToCom(&m_handle, block.data(), int32_t(block.size())), 1);
    EXPECT_EQ(m_pty.receive(block.size(), 5s), block);

    EXPECT_EQ(SendToCom(&m_handle, frame, 0), 1);
    EXPECT_EQ(SendToCom(&m_handle, frame, -1), 0);
    EXPECT_EQ(SendToCom(&m_handle, nullptr, 3), 0);
    EXPECT_TRUE(m_pty.receive(1, 50ms).empty());
}

TEST_F(PontelIo, WriteThatCannotDrainFailsWhenItsTimeOutExpires)
{
    open({0, 0, 0, 0, 200});
    // Nobody reads the peer side: the terminal's buffers fill and stay full.
    const Bytes flood(1 << 20, 0x42);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SendToCom(&m_handle, flood.data(), int32_t(flood.size())), 0);
    EXPECT_GE(millisecondsSince(start), 150);
}

TEST_F(PontelIo, CallsWithoutTimeOutsEndWhenThePeerHangsUp)
{
    // No time-out at all: only the hang-up can end this read, and it must
    // (a hang-up also discards what the terminal still held).
    open({0, 0, 0, 0, 0});
    m_pty.hangUp();
    Bytes buffer(3, 0);
    EXPECT_EQ(RcvFromCom(&m_handle, buffer.data(), 3), 0);
    EXPECT_EQ(PontelReadUpTo(&m_handle, buffer.data(), 3), 0);
    EXPECT_EQ(SendToCom(&m_handle, buffer.data(), 3), 0);
    EXPECT_EQ(PontelIsOpen(m_handle), 1); // still ours to close
}

TEST_F(PontelIo, BadArgumentsOfAnOpenPortAreRefused)
{
    open({0, 0, 100, 0, 0});
    m_pty.send({1, 2});
    std::this_thread::sleep_for(20ms);
    uint8_t buffer[2] = {};
    EXPECT_EQ(RcvFromCom(&m_handle, nullptr, 2), 0);
    EXPECT_EQ(RcvFromCom(&m_handle, buffer, -1), 0);
    EXPECT_EQ(RcvFromCom(&m_handle, buffer, 0), 1);
    EXPECT_EQ(PontelReadUpTo(&m_handle, buffer, 0), 0);
    EXPECT_EQ(PontelReadUpTo(&m_handle, nullptr, 2), 0);
    // None of the refused calls consumed the waiting bytes.
    EXPECT_EQ(read(2), (Bytes{1, 2}));
}
