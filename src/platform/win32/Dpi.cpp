#include "platform/win32/Dpi.h"

#include "platform/win32/Handles.h"
#include "platform/win32/SystemLibrary.h"

namespace velmora::win32 {

const DpiFunctions& DpiFunctions::OfSystem()
{
    static const DpiFunctions functions{
        .dpiForWindow = SystemFunction<UINT WINAPI(HWND)>(L"user32.dll", "GetDpiForWindow"),
        .systemMetricsForDpi = SystemFunction<int WINAPI(int, UINT)>(L"user32.dll", "GetSystemMetricsForDpi"),
    };
    return functions;
}

UINT SystemDpi()
{
    const WindowDC screen(nullptr);
    const int dpi = screen.Get() != nullptr ? ::GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT WindowDpi(HWND window, const DpiFunctions& functions)
{
    const UINT dpi = functions.dpiForWindow != nullptr ? functions.dpiForWindow(window) : 0;
    return dpi != 0 ? dpi : SystemDpi();
}

int SystemMetricForDpi(int index, UINT dpi, const DpiFunctions& functions)
{
    if (functions.systemMetricsForDpi != nullptr) {
        return functions.systemMetricsForDpi(index, dpi);
    }
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

}  // namespace velmora::win32
