#include "platform/win32/ProgramIcon.h"

#include <map>
#include <utility>

#include <commctrl.h>

#include "platform/win32/Dpi.h"
#include "platform/win32/SystemLibrary.h"

namespace velmora::win32 {

UniqueIcon LoadProgramIcon(int iconId, SIZE size)
{
    using LoadScaledDown = HRESULT WINAPI(HINSTANCE, PCWSTR, int, int, HICON*);
    static LoadScaledDown* const loadScaledDown =
        SystemFunction<LoadScaledDown>(L"comctl32.dll", "LoadIconWithScaleDown");
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HICON icon = nullptr;
    if (loadScaledDown == nullptr ||
        FAILED(loadScaledDown(instance, MAKEINTRESOURCEW(iconId), size.cx, size.cy, &icon))) {
        icon = static_cast<HICON>(
            ::LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size.cx, size.cy, LR_DEFAULTCOLOR));
    }
    return UniqueIcon(icon);
}

void SetProgramIcon(HWND window)
{
    // A window does not free the icons it is given.
    static std::map<int, UniqueIcon> loaded;
    const UINT dpi = WindowDpi(window);
    for (const auto& [type, metric] : {std::pair<WPARAM, int>{ICON_BIG, SM_CXICON}, std::pair<WPARAM, int>{ICON_SMALL, SM_CXSMICON}}) {
        const int side = SystemMetricForDpi(metric, dpi);
        UniqueIcon& icon = loaded[side];
        if (!icon) {
            icon = LoadProgramIcon(kProgramIconId, {side, side});
        }
        ::SendMessageW(window, WM_SETICON, type, reinterpret_cast<LPARAM>(icon.Get()));
    }
}

}  // namespace velmora::win32
