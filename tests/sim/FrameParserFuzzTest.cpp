// Random byte streams thrown at a device: its frame parser never crashes,
// never stalls, and a well-formed request that follows the noise once the
// inter-byte time-out has passed is always answered.
#include <gtest/gtest.h>

#include <random>

#include "BusHost.h"

using namespace ccsim;

TEST(FrameParserFuzz, AlwaysAnswersAWellFormedRequestAfterRandomNoise)
{
    std::mt19937 random(20240611);
    const int streams = 100000;
    int noiseAnswered = 0;
    for (int i = 0; i < streams; ++i) {
        BusHost host;
        Device &device = host.bus.addDevice();
        // Noise in chunks with gaps around the time-out, sometimes starting
        // like a real message for this device.
        const int chunks = 1 + static_cast<int>(random() % 4);
        for (int c = 0; c < chunks; ++c) {
            Bytes noise(random() % 24);
            for (auto &b : noise)
                b = static_cast<uint8_t>(random());
            if (!noise.empty() && random() % 3 == 0)
                noise[0] = random() % 2 ? 2 : 0;
            if (noise.size() > 1 && random() % 3 == 0)
                noise[1] = static_cast<uint8_t>(random() % 8);
            host.exchange(noise, SimTime(std::chrono::microseconds(random() % 70000)));
        }
        // Wait out the time-out (and the quiet time, if the noise happened
        // to be an address poll), then a simple poll to whoever is there.
        host.passTime(kInterByteTimeout + 1ms);
        if (device.quietUntil() > host.now)
            host.passTime(device.quietUntil() - host.now);
        ASSERT_EQ(device.nextTimer(), kForever) << "a partial message outlived its time-out, stream " << i;
        noiseAnswered += device.requestsHandled() > 0;

        const Bytes reply = host.ask(0, header::SimplePoll);
        ASSERT_GE(reply.size(), 5u) << "stream " << i;
        EXPECT_EQ(Bytes(reply.end() - 5, reply.end()), replyFrom(device.address())) << "stream " << i;
    }
    // Some noise forms a valid message by chance; most does not.
    EXPECT_LT(noiseAnswered, streams / 4);
}
