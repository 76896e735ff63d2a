// Solenoids, output lines, input lines and optos.
#include <cstdio>

#include "CommandTable.h"

namespace ravlin {

namespace {

std::string bits(uint8_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%02X", value);
    std::string out = text;
    std::string set;
    for (int k = 1; k <= 8; ++k)
        if (value & (1 << (k - 1)))
            set += (set.empty() ? "" : ", ") + std::to_string(k);
    return out + " (" + (set.empty() ? "none set" : "set: " + set) + ")";
}

} // namespace

std::vector<Command> ioCommands()
{
    return {
        {"test-solenoid", "N", 1, 1, kDevice, 500, "pulse solenoid N (0 to 7)",
         "Header 240 with a mask holding bit N only.", {"ravlin test-solenoid 0 --address 2"},
         [](Context &c) {
             const uint8_t n = static_cast<uint8_t>(parseNumber(c.args.positionals[0], 0, 7, "the solenoid"));
             c.device().testSolenoid(n);
             c.report("solenoid " + std::to_string(n) + " pulsed", JsonObject().add("solenoid", n));
         }},
        {"test-output", "MASK", 1, 1, kDevice | kLatch, 500, "drive the output lines in MASK",
         "Header 238 (test output lines) with MASK, bit k-1 for output k; with --latch header 233 "
         "(latch output lines).",
         {"ravlin test-output 0x03 --address 2", "ravlin test-output 1 --latch"},
         [](Context &c) {
             const uint8_t mask = byteArgument(c.args.positionals[0], "the output mask");
             c.device().testOutput(mask, c.args.latch);
             c.report(std::string(c.args.latch ? "outputs latched: " : "outputs tested: ") + bits(mask),
                      JsonObject().add("mask", mask).addBool("latch", c.args.latch));
         }},
        {"inputs", "", 0, 0, kDevice, 500, "the input lines (header 237)", "Bit k-1 for input line k.",
         {"ravlin inputs --address 2"},
         [](Context &c) {
             const uint8_t value = c.device().inputLines();
             c.report(bits(value), JsonObject().add("inputs", value));
         }},
        {"optos", "", 0, 0, kDevice, 500, "the opto states (header 236)", "Bit k-1 for opto k.",
         {"ravlin optos --address 2"},
         [](Context &c) {
             const uint8_t value = c.device().optos();
             c.report(bits(value), JsonObject().add("optos", value));
         }},
    };
}

} // namespace ravlin
