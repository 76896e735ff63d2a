#include "WindowFixture.h"

std::vector<uint8_t> requestFrame(uint8_t destination, uint8_t header, std::vector<uint8_t> data)
{
    std::vector<uint8_t> frame{destination, static_cast<uint8_t>(data.size()), 1, header};
    frame.insert(frame.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (uint8_t byte : frame)
        sum += byte;
    frame.push_back(static_cast<uint8_t>(256 - sum % 256));
    return frame;
}
