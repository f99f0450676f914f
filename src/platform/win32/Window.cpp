#include "platform/win32/Window.h"

#include <algorithm>
#include <vector>

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

void RunModal(HWND window, HWND owner, const bool& closed, HWND focus)
{
    const bool ownerWasEnabled = owner != nullptr && ::EnableWindow(owner, FALSE) == FALSE;
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
    ::SetFocus(focus != nullptr ? focus : ::GetDlgItem(window, IDOK));
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

void EndModal(HWND window, bool& closed)
{
    closed = true;
    ::ShowWindow(window, SW_HIDE);
    ::PostMessageA(window, WM_NULL, 0, 0);
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

namespace {

constexpr const char* kPanelClassName = "VelmoraPanel";

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    // A multi-line edit asks its parent to close on Esc; that is the window's close.
    case WM_CLOSE:
        return ::SendMessageA(::GetAncestor(window, GA_ROOT), message, wParam, lParam);
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

std::vector<HWND>& ModelessDialogs()
{
    static std::vector<HWND> windows;
    return windows;
}

}  // namespace

HWND CreatePanel(HWND parent, int id)
{
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{.cbSize = sizeof(WNDCLASSEXA)};
    if (!::GetClassInfoExA(instance, kPanelClassName, &existing)) {
        const WNDCLASSEXA windowClass{
            .cbSize = sizeof(WNDCLASSEXA),
            .lpfnWndProc = &PanelProc,
            .hInstance = instance,
            .hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)),
            .hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
            .lpszClassName = kPanelClassName,
        };
        ::RegisterClassExA(&windowClass);
    }
    return ::CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClassName, "",
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

void AddModelessDialog(HWND window)
{
    ModelessDialogs().push_back(window);
}

void RemoveModelessDialog(HWND window)
{
    auto& windows = ModelessDialogs();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

bool IsModelessDialogMessage(MSG& message)
{
    for (const HWND window : ModelessDialogs()) {
        if (::IsChild(window, message.hwnd) || window == message.hwnd) {
            // The main loop takes its messages wide.
            return ::IsDialogMessageW(window, &message) != FALSE;
        }
    }
    return false;
}

}  // namespace velmora::win32
