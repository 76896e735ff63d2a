// What a window test program checks before it runs anything.
#pragma once

// True when the program may run here. On Windows the programs run only
// through tests/windows/run-under-wine.sh, which maps COM1 to COM9 to its
// own virtual validators first; elsewhere always.
bool testEnvironmentReady();

// The start of every window test program, before its QApplication: false
// when it may not run here; otherwise the offscreen platform is chosen
// unless the environment chose another.
bool prepareWindowTestProgram();
