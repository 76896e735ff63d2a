// The parts of the tool that decide on their own: the monitor's frame
// decoder, the event counter arithmetic of the watch, the set-up file.
#include <gtest/gtest.h>

#include <sstream>

#include "CliError.h"
#include "EventLog.h"
#include "FrameDecoder.h"
#include "SetupFile.h"

using namespace ravlin;

namespace {

std::vector<HeardFrame::Kind> kinds(const std::vector<HeardFrame> &frames)
{
    std::vector<HeardFrame::Kind> out;
    for (const HeardFrame &f : frames)
        out.push_back(f.kind);
    return out;
}

TEST(FrameDecoder, CutsMessagesByChecksumAndFlagsWhatIsNotOne)
{
    FrameDecoder decoder(0.05);
    // A serial number request and its reply back to back, with no gap.
    const uint8_t conversation[] = {2, 0, 1, 242, 11, 1, 3, 2, 0, 0x87, 0xD6, 0x12, 0x8B};
    std::vector<HeardFrame> frames = decoder.feed(conversation, sizeof conversation, 1.0);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(describeFrame(frames[0]).substr(10), "  host -> 2     serial number (242)                 -");
    EXPECT_EQ(describeFrame(frames[1]).substr(10),
              "    2 -> host   reply to serial number              87 D6 12  \"...\"");
    // Noise ahead of a reply is split off once the line is quiet.
    const uint8_t noisy[] = {0x33, 0x99, 1, 0, 2, 0, 253};
    EXPECT_TRUE(decoder.feed(noisy, sizeof noisy, 2.0).empty());
    EXPECT_EQ(kinds(decoder.idle(2.1)),
              (std::vector<HeardFrame::Kind>{HeardFrame::Noise, HeardFrame::Message}));
    // A whole message with a wrong checksum is decided after the gap.
    const uint8_t bad[] = {1, 0, 2, 0, 254};
    EXPECT_TRUE(decoder.feed(bad, sizeof bad, 3.0).empty());
    EXPECT_EQ(kinds(decoder.idle(3.1)), std::vector<HeardFrame::Kind>{HeardFrame::BadChecksum});
    // After an address poll, lone bytes are the devices' bare answers.
    const uint8_t poll[] = {0, 0, 1, 253, 2};
    decoder.feed(poll, sizeof poll, 4.0);
    const uint8_t answer2 = 2, answer3 = 3;
    decoder.feed(&answer2, 1, 4.010);
    decoder.feed(&answer3, 1, 4.014);
    frames = decoder.idle(4.2);
    ASSERT_EQ(kinds(frames), (std::vector<HeardFrame::Kind>{HeardFrame::BareAnswer, HeardFrame::BareAnswer}));
    EXPECT_DOUBLE_EQ(frames[1].time, 4.014);
    // A cut-off message, long after the address poll, is noise.
    const uint8_t cut[] = {1, 3, 2};
    decoder.feed(cut, sizeof cut, 6.0);
    EXPECT_EQ(kinds(decoder.idle(6.2)), std::vector<HeardFrame::Kind>{HeardFrame::Noise});
}

// A message with its checksum, and the frames a decoder makes of a stream
// fed at once or byte by byte (1 ms apart), then left quiet.
std::vector<uint8_t> message(std::vector<uint8_t> bytes, int checksumError = 0)
{
    unsigned sum = 0;
    for (uint8_t b : bytes)
        sum += b;
    bytes.push_back(static_cast<uint8_t>(256 - sum % 256 + checksumError));
    return bytes;
}

std::vector<HeardFrame> decode(const std::vector<uint8_t> &stream, bool byteByByte)
{
    FrameDecoder decoder(0.05);
    std::vector<HeardFrame> frames;
    auto take = [&](std::vector<HeardFrame> more) { frames.insert(frames.end(), more.begin(), more.end()); };
    if (byteByByte) {
        for (size_t i = 0; i < stream.size(); ++i)
            take(decoder.feed(&stream[i], 1, 1.0 + 0.001 * static_cast<double>(i)));
    } else {
        take(decoder.feed(stream.data(), stream.size(), 1.0, 0.001));
    }
    take(decoder.idle(5.0));
    return frames;
}

TEST(FrameDecoder, AReplyGoesToTheHostThatAskedWhateverItsAddress)
{
    for (const uint8_t host : {1, 5, 9}) {
        SCOPED_TRACE(host);
        std::vector<uint8_t> stream = message({2, 0, host, 242});
        const std::vector<uint8_t> reply = message({host, 3, 2, 0, 0x87, 0xD6, 0x12});
        stream.insert(stream.end(), reply.begin(), reply.end());
        for (const bool byteByByte : {false, true}) {
            const std::vector<HeardFrame> frames = decode(stream, byteByByte);
            ASSERT_EQ(kinds(frames), (std::vector<HeardFrame::Kind>{HeardFrame::Message, HeardFrame::Message}));
            EXPECT_FALSE(frames[0].reply);
            EXPECT_TRUE(frames[1].reply);
            EXPECT_NE(frameJson(frames[1]).text().find("\"direction\":\"device_to_host\""), std::string::npos);
            EXPECT_NE(frameJson(frames[1]).text().find("\"name\":\"reply to serial number\""), std::string::npos);
        }
    }
    const uint8_t host5[] = {2, 0, 5, 242, 7, 5, 3, 2, 0, 0x87, 0xD6, 0x12, 0x87};
    FrameDecoder decoder(0.05);
    const std::vector<HeardFrame> frames = decoder.feed(host5, sizeof host5, 1.0);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(describeFrame(frames[0]).substr(10, 16), "  host 5 -> 2   ");
    EXPECT_EQ(describeFrame(frames[1]).substr(10, 16), "    2 -> host 5 ");
}

TEST(FrameDecoder, AReplyWithAWrongChecksumIsReportedWholeAndNotCutAgain)
{
    // Replies of 0 to 3 data bytes and a text, their checksum one too high,
    // each after its request and before the next one; then noise between
    // frames, fed at once and byte by byte.
    const std::vector<std::vector<uint8_t>> data = {{}, {0x42}, {0x03, 0x01}, {0x87, 0xD6, 0x12}, {'C', 'V', '-', '1', '6'}};
    for (const std::vector<uint8_t> &bytes : data) {
        SCOPED_TRACE(bytes.size());
        std::vector<uint8_t> stream = message({2, 0, 1, 242});
        std::vector<uint8_t> reply = {1, static_cast<uint8_t>(bytes.size()), 2, 0};
        reply.insert(reply.end(), bytes.begin(), bytes.end());
        reply = message(reply, 1);
        stream.insert(stream.end(), reply.begin(), reply.end());
        const std::vector<uint8_t> next = message({2, 0, 1, 254});
        stream.insert(stream.end(), next.begin(), next.end());
        for (const bool byteByByte : {false, true}) {
            const std::vector<HeardFrame> frames = decode(stream, byteByByte);
            ASSERT_EQ(kinds(frames), (std::vector<HeardFrame::Kind>{HeardFrame::Message, HeardFrame::BadChecksum,
                                                                    HeardFrame::Message}));
            EXPECT_EQ(frames[1].bytes, reply);
            EXPECT_TRUE(frames[1].reply);
            EXPECT_FALSE(frames[2].reply);
        }
    }
    std::vector<uint8_t> stream = message({2, 0, 1, 242});
    stream.push_back(0x55); // noise before the reply
    const std::vector<uint8_t> reply = message({1, 3, 2, 0, 0x87, 0xD6, 0x12});
    stream.insert(stream.end(), reply.begin(), reply.end());
    for (const bool byteByByte : {false, true}) {
        const std::vector<HeardFrame> frames = decode(stream, byteByByte);
        ASSERT_EQ(kinds(frames),
                  (std::vector<HeardFrame::Kind>{HeardFrame::Message, HeardFrame::Noise, HeardFrame::Message}));
        EXPECT_EQ(frames[2].bytes, reply);
        EXPECT_TRUE(frames[2].reply);
    }
}

TEST(EventTracker, ReportsNewEventsOnceAndCountsTheLostOnes)
{
    EventTracker tracker;
    EXPECT_TRUE(tracker.update({3, 3, 1, 2, 1, 1, 1, 0, 0, 0, 0}).first);
    // Two new events: shown oldest first with their counter values.
    EventTracker::Update u = tracker.update({5, 7, 3, 0, 2, 3, 1, 2, 1, 1, 1});
    ASSERT_EQ(u.fresh.size(), 2u);
    EXPECT_EQ(u.fresh[0].number, 4u);
    EXPECT_EQ(describeEvent(u.fresh[0].resultA, u.fresh[0].resultB), "error 2: inhibited coin");
    EXPECT_EQ(u.fresh[1].number, 5u);
    EXPECT_EQ(describeEvent(u.fresh[1].resultA, u.fresh[1].resultB), "credit on channel 7, sorter path 3");
    EXPECT_EQ(u.lost, 0u);
    EXPECT_TRUE(tracker.update({5, 7, 3, 0, 2, 3, 1, 2, 1, 1, 1}).fresh.empty());
    // From 5 to 2 across the wrap (255 goes on at 1): 252 new, 247 lost.
    u = tracker.update({2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_EQ(u.fresh.size(), 5u);
    EXPECT_EQ(u.fresh.front().number, 253u);
    EXPECT_EQ(u.lost, 247u);
    EXPECT_TRUE(tracker.update({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).counterReset);
    EXPECT_EQ(tracker.update({1, 4, 1, 0, 0, 0, 0, 0, 0, 0, 0}).fresh.size(), 1u);
}

TEST(SetupFile, ReadsWhatItWritesAndNamesTheBadLine)
{
    ravlin::Setup setup;
    setup.masterInhibit = true;
    setup.inhibits = 0x0F0F;
    setup.sorter[2] = 4;
    setup.coinId[2] = "EU 10#";
    setup.coinId[15] = "......";
    std::istringstream text(formatSetup(setup, {"a comment"}));
    const ravlin::Setup back = parseSetup(text, "f");
    EXPECT_TRUE(compareSetup(setup, back).empty());
    EXPECT_EQ(back.settingCount(), 5u);
    ravlin::Setup other = back;
    other.sorter[2] = 1;
    const auto differences = compareSetup(setup, other);
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0].key, "sorter 3");

    const std::pair<const char *, const char *> bad[] = {
        {"inhibits = 0x10000", "f:2: inhibits must be 0 to 65535, not 0x10000"},
        {"sorter 17 = 1", "f:2: the channel must be 1 to 16, not 17"},
        {"coin-id 1 = EU1", "f:2: a coin id has 6 characters, not 3 ('EU1')"},
        {"coin-id 1 = \"EU100A", "f:2: a quote is not closed"},
        {"colour = red", "f:2: unknown key 'colour'"},
        {"master-inhibit = maybe", "f:2: master-inhibit is on or off, not 'maybe'"},
    };
    for (const auto &[line, message] : bad) {
        std::istringstream in(std::string("# first\n") + line + "\n");
        try {
            parseSetup(in, "f");
            ADD_FAILURE() << line;
        } catch (const CliError &error) {
            EXPECT_EQ(error.what(), std::string(message));
            EXPECT_EQ(error.status(), kExitUsage);
        }
    }
}

} // namespace

#include <cstdlib>

#include "Json.h"
#include "PortSession.h"
#include "ReplyProbe.h"

namespace {

TEST(PortName, APathTakesItsMappedNumberOrTheHighestFreeOne)
{
    for (int n = 1; n <= 9; ++n)
        unsetenv(("PONTEL_COM" + std::to_string(n)).c_str());
    setenv("PONTEL_COM9", "/dev/pts/77", 1);
    EXPECT_EQ(resolvePortName("/dev/pts/77").number, 9);
    const PortName other = resolvePortName("/dev/ttyUSB3");
    EXPECT_EQ(other.number, 8);
    EXPECT_STREQ(std::getenv("PONTEL_COM8"), "/dev/ttyUSB3");
    EXPECT_EQ(other.shown, "/dev/ttyUSB3");
    EXPECT_EQ(resolvePortName("COM3").shown, "Com3");
    EXPECT_THROW(resolvePortName("Com10"), CliError);
    unsetenv("PONTEL_COM8");
    unsetenv("PONTEL_COM9");
}

TEST(ReplyProbe, TellsTheFailuresApartByWhatTheRawReplyHolds)
{
    uint8_t reply[260];
    std::fill(reply, reply + 260, 0);
    EXPECT_EQ(classifyReply(false, reply).kind, Probe::NoEcho); // the transaction cleared it
    std::fill(reply, reply + 260, 0xA5);
    EXPECT_EQ(classifyReply(false, reply).kind, Probe::NoReply); // nothing arrived
    reply[0] = 1;
    EXPECT_EQ(classifyReply(false, reply).kind, Probe::Truncated);
    const std::pair<std::vector<uint8_t>, Probe::Kind> framed[] = {
        {{1, 0, 2, 0, 253}, Probe::Good},   {{1, 0, 2, 0, 252}, Probe::BadChecksum},
        {{1, 0, 2, 5, 248}, Probe::Nak},    {{1, 0, 2, 6, 247}, Probe::Busy},
        {{3, 0, 2, 0, 251}, Probe::Unexpected},
    };
    for (const auto &[bytes, kind] : framed) {
        std::copy(bytes.begin(), bytes.end(), reply);
        EXPECT_EQ(classifyReply(true, reply).kind, kind) << int(bytes[3]);
    }
}

TEST(Json, DeviceTextIsEscaped)
{
    EXPECT_EQ(jsonString("a\"b\\c\n\x01" "\xC3\xA9"), "\"a\\\"b\\\\c\\n\\u0001\xC3\xA9\"");
}

} // namespace
