#pragma once

// The DPI queries Windows 10 version 1607 added, with what older Windows
// offers in their place: the system DPI, and the system metrics at that DPI
// scaled to the one asked for.

#include "platform/win32/Win32.h"

namespace velmora::win32 {

struct DpiFunctions {
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
    int(WINAPI* systemMetricsForDpi)(int, UINT) = nullptr;

    // Those this Windows has; a member stays null where it predates it.
    static const DpiFunctions& OfSystem();
};

// The screen's DPI (LOGPIXELSX), 96 when it cannot be read.
UINT SystemDpi();

// The DPI of the window's monitor; the system DPI before Windows 10 1607.
UINT WindowDpi(HWND window, const DpiFunctions& functions = DpiFunctions::OfSystem());

// A GetSystemMetrics value for that DPI.
int SystemMetricForDpi(int index, UINT dpi, const DpiFunctions& functions = DpiFunctions::OfSystem());

}  // namespace velmora::win32
