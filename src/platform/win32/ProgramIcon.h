#pragma once

// Velmora's own icon, at the size a title bar, Alt+Tab or the notification
// area asks for at the DPI of the window's monitor.

#include "platform/win32/Handles.h"

namespace velmora::win32 {

// The exe's first icon group, the one the shell shows for the file too.
inline constexpr int kProgramIconId = 1;

// The icon resource at exactly that size: the image made for it, or a larger
// one scaled down rather than a smaller one blown up
// (LoadIconWithScaleDown, which comctl32 6 has from Vista on; looked up at
// run time, with LoadImage where it is missing).
UniqueIcon LoadProgramIcon(int iconId, SIZE size);

// Gives the window Velmora's icon, large and small, at the window's DPI.
// The icons stay loaded for the rest of the process, shared by every window.
void SetProgramIcon(HWND window);

}  // namespace velmora::win32
