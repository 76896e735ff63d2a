#include "PortOutput.h"

#include "Waits.h"
#include "Win32.h"

namespace {

// The time one character takes on the line: start bit, data bits, parity
// bit, stop bits (one and a half counted as two). Zero for a rate of 0.
std::chrono::nanoseconds characterTime(const DCB &line)
{
    if (line.BaudRate == 0)
        return std::chrono::nanoseconds(0);
    const int dataBits = line.ByteSize >= 5 && line.ByteSize <= 8 ? line.ByteSize : 8;
    const int parityBits = line.Parity == NOPARITY ? 0 : 1;
    const int stopBits = line.StopBits == ONESTOPBIT ? 1 : 2;
    const int bits = 1 + dataBits + parityBits + stopBits;
    return std::chrono::nanoseconds(bits * 1'000'000'000LL / line.BaudRate);
}

} // namespace

void waitUntilSent(PortHandle handle, int count, std::chrono::steady_clock::time_point writeStart)
{
    const HANDLE device = portDevice(handle);
    DCB line{};
    line.DCBlength = sizeof line;
    if (!GetCommState(device, &line))
        return; // not a communications device: left alone
    // Waits for the driver's output buffer to be empty.
    FlushFileBuffers(device);
    // A driver that reports the output gone while the bytes are still in
    // an adapter's buffer (USB converters, virtual ports) would let a fast
    // writer run ahead of the line: a write never counts as done before the
    // line can have carried it.
    if (count > 0)
        sleepUntil(writeStart + characterTime(line) * count);
}
