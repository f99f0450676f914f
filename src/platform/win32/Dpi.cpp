#include "platform/win32/Dpi.h"

#include <iterator>
#include <string_view>

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

SIZE DialogBaseUnits(HGDIOBJ font)
{
    const WindowDC screen(nullptr);
    const SelectedObject selected(screen.Get(), font);
    TEXTMETRICW metrics{};
    SIZE alphabet{};
    constexpr wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (!::GetTextMetricsW(screen.Get(), &metrics) ||
        !::GetTextExtentPoint32W(screen.Get(), kAlphabet, static_cast<int>(std::size(kAlphabet) - 1), &alphabet)) {
        return {0, 0};
    }
    // The average over both cases, rounded, as the dialog manager takes it.
    return {(alphabet.cx / 26 + 1) / 2, metrics.tmHeight};
}

SIZE DefaultDialogBaseUnits()
{
    constexpr int kPointsPerInch = 72;
    const auto measure = [] {
        LOGFONTW face{.lfHeight = -::MulDiv(9, USER_DEFAULT_SCREEN_DPI, kPointsPerInch), .lfWeight = FW_NORMAL,
                      .lfCharSet = DEFAULT_CHARSET, .lfFaceName = L"Segoe UI"};
        UniqueGdiObject font(::CreateFontIndirectW(&face));
        wchar_t madeFace[LF_FACESIZE] = {};
        {
            const WindowDC screen(nullptr);
            const SelectedObject selected(screen.Get(), font.Get());
            ::GetTextFaceW(screen.Get(), LF_FACESIZE, madeFace);
        }
        if (std::wstring_view(madeFace) != face.lfFaceName) {
            face = {.lfHeight = -::MulDiv(8, USER_DEFAULT_SCREEN_DPI, kPointsPerInch), .lfWeight = FW_NORMAL,
                    .lfCharSet = DEFAULT_CHARSET, .lfFaceName = L"MS Shell Dlg"};
            font = UniqueGdiObject(::CreateFontIndirectW(&face));
        }
        return DialogBaseUnits(font.Get());
    };
    // Asked at every window's start; the fonts a system has do not change.
    static const SIZE measured = measure();
    return measured;
}

SIZE FontScaledDpi(UINT dpi, SIZE fontUnits, SIZE defaultUnits96)
{
    const auto grown = [dpi](LONG font, LONG standard96) {
        const long long scaledFont = static_cast<long long>(font) * USER_DEFAULT_SCREEN_DPI;
        if (standard96 <= 0 || scaledFont <= static_cast<long long>(standard96 + 1) * dpi) {
            return static_cast<LONG>(dpi);
        }
        return static_cast<LONG>(scaledFont / standard96);
    };
    return {grown(fontUnits.cx, defaultUnits96.cx), grown(fontUnits.cy, defaultUnits96.cy)};
}

MessageFonts MessageFonts::ForDpi(UINT dpi)
{
    MessageFonts fonts{CreateMessageFont(dpi), CreateMessageFont(dpi, /*bold=*/true)};
    fonts.scale = FontScaledDpi(dpi, DialogBaseUnits(fonts.normal.Get()), DefaultDialogBaseUnits());
    return fonts;
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
