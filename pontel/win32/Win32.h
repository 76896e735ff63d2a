// The Windows headers as the Win32 backend includes them: the lean set, and
// no min/max macros over the standard library's.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#  define NOMINMAX
#endif
#include <windows.h>
