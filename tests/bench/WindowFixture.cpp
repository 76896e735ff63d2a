#include "WindowFixture.h"

std::vector<uint8_t> requestFrame(uint8_t destination, uint8_t header, std::vector<uint8_t> data)
{
    std::vector<uint8_t> frame{destination, static_cast<uint8_t>(data.size()), 1, header};
    // Byte by byte: GCC 12 at -O3 takes an insert of the range for a write
    // past the end of the 4-byte vector (-Warray-bounds).
    for (uint8_t byte : data)
        frame.push_back(byte);
    unsigned sum = 0;
    for (uint8_t byte : frame)
        sum += byte;
    frame.push_back(static_cast<uint8_t>(256 - sum % 256));
    return frame;
}
