#include "platform/win32/Window.h"

#include "macros/Error.h"

namespace velmora::win32 {

void ShowErrorBox(HWND owner, const std::string& text)
{
    ::MessageBoxA(owner, ErrorBoxText(text).c_str(), "Velmora", MB_OK | MB_ICONERROR);
}

int ScaleForDpi(int pixels)
{
    static const int dpi = [] {
        const HDC screen = ::GetDC(nullptr);
        const int value = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen) {
            ::ReleaseDC(nullptr, screen);
        }
        return value > 0 ? value : 96;
    }();
    return ::MulDiv(pixels, dpi, 96);
}

void RunModal(HWND window, HWND owner, const bool& closed)
{
    const bool ownerWasEnabled = owner != nullptr && ::EnableWindow(owner, FALSE) == FALSE;
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
    ::SetFocus(::GetDlgItem(window, IDOK));
    MSG message{};
    while (!closed && ::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageA(window, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    if (message.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(message.wParam));
    }
    if (ownerWasEnabled) {
        ::EnableWindow(owner, TRUE);
    }
}

UniqueGdiObject CreateMessageFont(bool bold)
{
    NONCLIENTMETRICSA metrics{.cbSize = sizeof(NONCLIENTMETRICSA)};
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    if (bold) {
        metrics.lfMessageFont.lfWeight = FW_BOLD;
    }
    return UniqueGdiObject(::CreateFontIndirectA(&metrics.lfMessageFont));
}

HWND CreateControl(HWND parent, const char* className, const char* text, DWORD style, int id, RECT place96,
                   HGDIOBJ font)
{
    const HWND control = ::CreateWindowExA(
        0, className, text, WS_CHILD | WS_VISIBLE | style, ScaleForDpi(place96.left), ScaleForDpi(place96.top),
        ScaleForDpi(place96.right), ScaleForDpi(place96.bottom), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

}  // namespace velmora::win32
