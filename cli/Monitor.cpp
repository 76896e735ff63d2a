// ravlin monitor: listens to a line and prints every message on it,
// decoded. It opens the port like every command but never writes to it.
#include <algorithm>
#include <chrono>
#include <ostream>

#include "CliError.h"
#include "CommandTable.h"
#include "FrameDecoder.h"
#include "Interrupt.h"
#include "PontelDeclar.h"

namespace ravlin {

namespace {

void runMonitor(Context &c)
{
    catchInterrupt();
    const int gapMs = c.args.gapMs.value_or(50);
    // Reads return 2 ms after the last byte of a burst, or after 50 ms of
    // silence, so that each byte's time is known to a few milliseconds.
    ReadTimeouts listen;
    listen.interval = 2;
    listen.perByte = 0;
    listen.constant = 50;
    PortSession &port = c.port(listen);
    FrameDecoder decoder(gapMs / 1000.0);
    const auto start = std::chrono::steady_clock::now();
    auto seconds = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    long frames = 0, bad = 0, noise = 0, bytesHeard = 0;
    double lastReturn = 0;
    auto show = [&](const std::vector<HeardFrame> &list) {
        for (const HeardFrame &f : list) {
            ++frames;
            bad += f.kind == HeardFrame::BadChecksum;
            noise += f.kind == HeardFrame::Noise;
            c.stream(describeFrame(f), frameJson(f));
        }
    };
    c.err << "ravlin: monitor: listening on " << port.shown() << " (Ctrl-C ends)\n" << std::flush;
    while (!interrupted()) {
        if ((c.args.count && frames >= *c.args.count) || (c.args.seconds && seconds() >= *c.args.seconds))
            break;
        uint8_t buffer[512];
        const int32_t n = PontelReadUpTo(port.handle(), buffer, sizeof buffer);
        if (n < 0)
            throw CliError(kExitPort, "lost " + port.shown());
        const double now = seconds();
        if (n > 0) {
            bytesHeard += n;
            // The read returned 2 ms after the last byte; at 9600 baud each
            // byte took about 1.04 ms: when the first one arrived.
            const double first = std::max(now - 0.002 - (n - 1) * 0.00104, lastReturn);
            show(decoder.feed(buffer, static_cast<size_t>(n), first, std::clamp((now - 0.002 - first) / n, 0.0, 0.00104)));
        } else {
            show(decoder.idle(now));
        }
        lastReturn = now;
    }
    show(decoder.idle(seconds() + 3600));
    c.stream("heard " + std::to_string(bytesHeard) + " bytes: " + std::to_string(frames) + " frames, " + std::to_string(bad)
                 + " with a bad checksum, " + std::to_string(noise) + " noise",
             JsonObject().add("event", "summary").add("bytes", bytesHeard).add("frames", frames).add("bad_checksums", bad).add("noise", noise));
}

} // namespace

Command monitorCommand()
{
    return {"monitor", "", 0, 0, kCount | kFor | kGap, 0, "decode what is heard on a line, never writing",
            "Listens to the port (a line tapped by a second adapter, or ccsim's --tap terminal) and "
            "prints each message with the time since the start, its direction (host -> N, N -> host; "
            "a message addressed to the source of the request before it is its reply, and a host at "
            "another address than 1 shows it: host 5 -> N), "
            "the header's name (replies: what they answer), the data in hexadecimal and as text. "
            "Messages are cut by their length and checksum; bytes that make no message are held until "
            "the line has been quiet for --gap milliseconds (default 50), then shown as a message with a "
            "bad checksum when they are one, otherwise as noise; a reply whose checksum is wrong is shown "
            "whole as one at once. Bytes after an address poll are its "
            "bare answers. Nothing is ever written to the port. Ctrl-C ends it, as do --count N frames "
            "or --for SECONDS.",
            {"ravlin monitor --port /dev/ttyUSB1", "ravlin monitor --port /tmp/ccsim.tap --json"},
            runMonitor};
}

} // namespace ravlin
