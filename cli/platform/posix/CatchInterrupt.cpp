#include "Interrupt.h"

#include <csignal>

namespace ravlin {

namespace {
extern "C" void onInterrupt(int)
{
    noteInterrupt();
}
} // namespace

void catchInterrupt()
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

} // namespace ravlin
