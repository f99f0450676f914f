#pragma once

// The one place that includes <windows.h>, so every file sees the same
// settings. The program uses the ANSI functions: its texts and data file are
// 8-bit.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00
#endif
#undef UNICODE
#undef _UNICODE

#include <windows.h>

