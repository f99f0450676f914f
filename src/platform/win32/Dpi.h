#pragma once

// The DPI queries Windows 10 version 1607 added, with what older Windows
// offers in their place: the system DPI, and the system metrics at that DPI
// scaled to the one asked for. Nothing here keeps a DPI: a window's DPI
// changes as it moves between monitors, and the system's with the user's
// setting.

#include "platform/win32/Handles.h"
#include "platform/win32/Win32.h"

namespace velmora::win32 {

struct DpiFunctions {
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
    int(WINAPI* systemMetricsForDpi)(int, UINT) = nullptr;
    BOOL(WINAPI* systemParametersForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
    BOOL(WINAPI* adjustWindowRectForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;

    // Those this Windows has; a member stays null where it predates it.
    static const DpiFunctions& OfSystem();
};

// The screen's DPI (LOGPIXELSX), 96 when it cannot be read.
UINT SystemDpi();

// The DPI of the window's monitor; the system DPI before Windows 10 1607.
UINT WindowDpi(HWND window, const DpiFunctions& functions = DpiFunctions::OfSystem());

// A GetSystemMetrics value for that DPI.
int SystemMetricForDpi(int index, UINT dpi, const DpiFunctions& functions = DpiFunctions::OfSystem());

// A length at 96 DPI at that DPI.
int ScaleForDpi(int pixels, UINT dpi);
// The same at the system's DPI, for windows not yet made per monitor.
int ScaleForDpi(int pixels);

// The system's message font at that DPI ("Make text bigger" included).
UniqueGdiObject CreateMessageFont(UINT dpi, bool bold = false,
                                  const DpiFunctions& functions = DpiFunctions::OfSystem());
// The same at the system's DPI.
UniqueGdiObject CreateMessageFont(bool bold = false);

// A font's dialog base units: its average character width and its height.
SIZE DialogBaseUnits(HGDIOBJ font);
// Those of Windows' own message font at 96 DPI: 9 pt Segoe UI, or 8 pt
// MS Shell Dlg where there is no Segoe UI.
SIZE DefaultDialogBaseUnits();
// What 96 design pixels become across and down for a font of those units at
// that DPI: the DPI, or more where the font is larger than the default's
// units at that DPI ("Make text bigger", a larger message font), as a dialog
// grows with its font. Never less than the DPI; less than one 96-DPI pixel
// more is the rounding of a font's size, not a larger font.
SIZE FontScaledDpi(UINT dpi, SIZE fontUnits, SIZE defaultUnits96);

// A window's normal and bold message fonts, made again when its DPI changes,
// and the scale its controls are laid out at for them.
struct MessageFonts {
    UniqueGdiObject normal;
    UniqueGdiObject bold;
    SIZE scale{USER_DEFAULT_SCREEN_DPI, USER_DEFAULT_SCREEN_DPI};

    static MessageFonts ForDpi(UINT dpi);
};

// The outer frame of a window whose client area has that size, at its DPI.
RECT FrameForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi,
                    const DpiFunctions& functions = DpiFunctions::OfSystem());

}  // namespace velmora::win32
