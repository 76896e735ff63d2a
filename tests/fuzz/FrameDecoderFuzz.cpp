// The monitor's frame decoder.
//
// Input: byte 0 the quiet gap (1 to 64 ticks of 1/1024 s), byte 1 whether
// bytes within a chunk are spaced by one tick or all arrive at once, then
// chunks: a pause (ticks), a length, the chunk's bytes; each chunk is fed
// once whole, and once again cut where its own bytes say (a second pass over
// the same bytes at the same times). Times are multiples of 1/1024 s, so
// both passes compute every time exactly alike.
//
// Every frame reported as a valid message adds up to 0 mod 256 and is as
// long as its length byte announces; bad checksums have that length and a
// wrong sum; a bare answer is one byte; nothing is lost or repeated once the
// line has gone quiet; and the second split gives the same frames.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "FuzzCheck.h"
#include "FrameDecoder.h"

using namespace ravlin;

const char *const kFuzzTarget = "frame decoder";

namespace {

constexpr double kTick = 1.0 / 1024;


struct Piece
{
    double time;
    std::vector<uint8_t> bytes;
};

std::vector<HeardFrame> decode(double gap, double spacing, const std::vector<Piece> &pieces)
{
    FrameDecoder decoder(gap);
    std::vector<HeardFrame> frames;
    double last = 0;
    for (const Piece &piece : pieces) {
        const auto out = decoder.feed(piece.bytes.data(), piece.bytes.size(), piece.time, spacing);
        frames.insert(frames.end(), out.begin(), out.end());
        if (!piece.bytes.empty())
            last = piece.time + spacing * static_cast<double>(piece.bytes.size() - 1);
    }
    const auto rest = decoder.idle(last + 2 * gap + 1);
    frames.insert(frames.end(), rest.begin(), rest.end());
    return frames;
}

bool same(const HeardFrame &a, const HeardFrame &b)
{
    return a.kind == b.kind && a.time == b.time && a.bytes == b.bytes && a.reply == b.reply
           && a.answeredHeader == b.answeredHeader;
}

void show(const char *title, const std::vector<HeardFrame> &frames)
{
    std::fprintf(stderr, "%s:\n", title);
    for (const HeardFrame &frame : frames)
        std::fprintf(stderr, "  %s\n", describeFrame(frame).c_str());
}

unsigned sumOf(const std::vector<uint8_t> &bytes)
{
    unsigned sum = 0;
    for (const uint8_t b : bytes)
        sum += b;
    return sum % 256;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const double gap = kTick * (1 + data[0] % 64);
    const double spacing = (data[1] & 1) ? kTick : 0;
    size_t at = 2;

    std::vector<Piece> whole, cut;
    std::vector<uint8_t> all;
    double time = 0;
    while (at + 1 < size) {
        time += kTick * data[at];
        const size_t length = std::min<size_t>(data[at + 1], size - at - 2);
        at += 2;
        const std::vector<uint8_t> bytes(data + at, data + at + length);
        at += length;
        if (!bytes.empty())
            whole.push_back({time, bytes});
        all.insert(all.end(), bytes.begin(), bytes.end());
        // The second split: a cut after every byte whose low three bits are
        // zero, each piece at the time its first byte has in the whole chunk.
        size_t from = 0;
        for (size_t i = 0; i < bytes.size(); ++i) {
            if ((bytes[i] & 7) == 0 || i + 1 == bytes.size()) {
                cut.push_back({time + spacing * static_cast<double>(from),
                               std::vector<uint8_t>(bytes.begin() + from, bytes.begin() + i + 1)});
                from = i + 1;
            }
        }
        time += spacing * static_cast<double>(length);
    }

    const std::vector<HeardFrame> frames = decode(gap, spacing, whole);
    std::vector<uint8_t> heard;
    for (const HeardFrame &frame : frames) {
        check(!frame.bytes.empty(), "an empty frame");
        heard.insert(heard.end(), frame.bytes.begin(), frame.bytes.end());
        switch (frame.kind) {
        case HeardFrame::Message:
            check(frame.bytes.size() == size_t(frame.bytes[1]) + 5, "a message of another length than announced");
            check(sumOf(frame.bytes) == 0, "a message with a wrong checksum");
            break;
        case HeardFrame::BadChecksum:
            check(frame.bytes.size() == size_t(frame.bytes[1]) + 5, "a bad message of another length than announced");
            check(sumOf(frame.bytes) != 0, "a good checksum reported as bad");
            break;
        case HeardFrame::BareAnswer:
            check(frame.bytes.size() == 1, "a bare answer of more than one byte");
            break;
        case HeardFrame::Noise:
            break;
        }
        // Whatever it is, it can be described and written as JSON.
        check(!describeFrame(frame).empty(), "a frame without a description");
        check(!frameJson(frame).empty(), "a frame without JSON fields");
    }
    check(heard == all, "the frames do not hold exactly the bytes heard");

    const std::vector<HeardFrame> again = decode(gap, spacing, cut);
    bool differ = again.size() != frames.size();
    for (size_t i = 0; !differ && i < frames.size(); ++i)
        differ = !same(frames[i], again[i]);
    if (differ) {
        show("fed whole", frames);
        show("fed cut", again);
    }
    check(again.size() == frames.size(), "another split gave another number of frames");
    for (size_t i = 0; i < frames.size(); ++i)
        check(same(frames[i], again[i]), "another split gave another frame");
    return 0;
}
