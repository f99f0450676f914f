#include "platform/win32/Dpi.h"

#include "platform/win32/SystemLibrary.h"

namespace velmora::win32 {

const DpiFunctions& DpiFunctions::OfSystem()
{
    static const DpiFunctions functions{
        .dpiForWindow = SystemFunction<UINT WINAPI(HWND)>(L"user32.dll", "GetDpiForWindow"),
        .systemMetricsForDpi = SystemFunction<int WINAPI(int, UINT)>(L"user32.dll", "GetSystemMetricsForDpi"),
        .systemParametersForDpi =
            SystemFunction<BOOL WINAPI(UINT, UINT, void*, UINT, UINT)>(L"user32.dll", "SystemParametersInfoForDpi"),
        .adjustWindowRectForDpi =
            SystemFunction<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>(L"user32.dll", "AdjustWindowRectExForDpi"),
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
    const UINT dpi = functions.dpiForWindow != nullptr && window != nullptr ? functions.dpiForWindow(window) : 0;
    return dpi != 0 ? dpi : SystemDpi();
}

int SystemMetricForDpi(int index, UINT dpi, const DpiFunctions& functions)
{
    if (functions.systemMetricsForDpi != nullptr) {
        return functions.systemMetricsForDpi(index, dpi);
    }
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

int ScaleForDpi(int pixels, UINT dpi)
{
    return ::MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

int ScaleForDpi(int pixels)
{
    return ScaleForDpi(pixels, SystemDpi());
}

UniqueGdiObject CreateMessageFont(UINT dpi, bool bold, const DpiFunctions& functions)
{
    NONCLIENTMETRICSW metrics{.cbSize = sizeof(NONCLIENTMETRICSW)};
    if (functions.systemParametersForDpi == nullptr ||
        !functions.systemParametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        // Older Windows gives the font at the system's DPI only.
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        metrics.lfMessageFont.lfHeight =
            ::MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    }
    if (bold) {
        metrics.lfMessageFont.lfWeight = FW_BOLD;
    }
    return UniqueGdiObject(::CreateFontIndirectW(&metrics.lfMessageFont));
}

UniqueGdiObject CreateMessageFont(bool bold)
{
    return CreateMessageFont(SystemDpi(), bold);
}

MessageFonts MessageFonts::ForDpi(UINT dpi)
{
    return {CreateMessageFont(dpi), CreateMessageFont(dpi, /*bold=*/true)};
}

RECT FrameForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi, const DpiFunctions& functions)
{
    RECT frame{0, 0, client.cx, client.cy};
    if (functions.adjustWindowRectForDpi == nullptr ||
        !functions.adjustWindowRectForDpi(&frame, style, FALSE, exStyle, dpi)) {
        ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return frame;
}

}  // namespace velmora::win32
