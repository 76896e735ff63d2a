// The decoded bus monitor: what a technician reads in `ccsim --trace`.
#include <gtest/gtest.h>

#include <sstream>

#include "BusTrace.h"

using namespace ccsim;

namespace {

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

bool contains(const std::string &line, const std::string &part)
{
    return line.find(part) != std::string::npos;
}

} // namespace

TEST(BusTrace, DecodesRequestsRepliesNoiseAndAddressPollBytes)
{
    std::ostringstream out;
    BusTrace trace(out);
    Bus bus;
    bus.addDevice();
    bus.setObserver([&trace](const BusActivity &a) { trace.onActivity(a); });

    bus.hostWrite(encode({2, 1, header::SerialNumber, {}}), 1ms);
    bus.hostWrite({2, 0, 1, 254, 0}, 100ms);               // bad checksum
    bus.hostWrite({2, 7}, 200ms);                          // noise
    bus.hostWrite(encode({2, 1, header::SimplePoll, {}}), 300ms);
    bus.hostWrite(encode({0, 1, header::AddressPoll, {}}), 400ms);
    const auto l = lines(out.str());
    ASSERT_EQ(l.size(), 8u) << out.str();
    EXPECT_TRUE(contains(l[0], "host") && contains(l[0], "1 -> 2") && contains(l[0], "request serial number (242)")
                && contains(l[0], "data: -") && contains(l[0], "checksum good"))
        << l[0];
    EXPECT_TRUE(contains(l[1], "device") && contains(l[1], "2 -> 1")
                && contains(l[1], "reply to request serial number") && contains(l[1], "data: 135 214 18")
                && contains(l[1], "checksum good"))
        << l[1];
    EXPECT_TRUE(contains(l[2], "simple poll") && contains(l[2], "checksum BAD")) << l[2];
    EXPECT_TRUE(contains(l[3], "2 byte(s) that make no whole message") && contains(l[3], "2 7")) << l[3];
    EXPECT_TRUE(contains(l[4], "simple poll") && contains(l[4], "checksum good")) << l[4];
    EXPECT_TRUE(contains(l[6], "address poll (253)")) << l[6];
    EXPECT_TRUE(contains(l[7], "answers the address poll with the bare byte 2")) << l[7];
    EXPECT_TRUE(contains(l[0], "1.000 ms")) << l[0];
}

TEST(BusTrace, ShowsTextDataAsTextAndRefusalsByName)
{
    EXPECT_TRUE(contains(BusTrace::describe(0ms, false, encode({1, 2, 0, {'V', '1'}}), header::SoftwareRevision),
                         "data: 86 49 \"V1\""));
    EXPECT_TRUE(contains(BusTrace::describe(0ms, false, encode({1, 2, header::Nak, {}}), 99), "NAK to header 99"));
}
