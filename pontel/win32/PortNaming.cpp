#include "PortNaming.h"

namespace pontel {

std::string devicePathForPort(uint8_t n)
{
    if (n < kFirstPort || n > kLastPort)
        return {};
    return "\\\\.\\COM" + std::to_string(n);
}

} // namespace pontel
