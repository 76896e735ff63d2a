// A property of a fuzz target that must hold: when it does not, the run ends
// as a finding (libFuzzer keeps the input), with the target's name and what
// failed. Each target defines kFuzzTarget, its name in the messages.
#pragma once

#include <cstdio>
#include <cstdlib>

extern const char *const kFuzzTarget;

inline void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "%s: %s\n", kFuzzTarget, what);
        std::abort();
    }
}
