#include "platform/win32/Controls.h"

#include "platform/win32/Dpi.h"

namespace velmora::win32 {

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

}  // namespace

std::string TextOf(HWND control)
{
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void SetText(HWND control, const std::string& text)
{
    if (TextOf(control) != text) {
        ::SetWindowTextA(control, text.c_str());
    }
}

std::u16string WideTextOf(HWND control)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return {text.begin(), text.end()};
}

void SetWideText(HWND control, const std::u16string& text)
{
    if (WideTextOf(control) != text) {
        ::SetWindowTextW(control, std::wstring(text.begin(), text.end()).c_str());
    }
}

bool IsChecked(HWND button)
{
    return ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND button, bool checked)
{
    ::SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Show(HWND control, bool visible)
{
    ::ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
}

int ComboSelection(HWND combo)
{
    return static_cast<int>(::SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

void SetComboSelection(HWND combo, int index)
{
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
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

HWND CreateWideControl(HWND parent, const wchar_t* className, DWORD style, int id, RECT place96, HGDIOBJ font)
{
    const HWND control = ::CreateWindowExW(
        0, className, L"", WS_CHILD | WS_VISIBLE | style, ScaleForDpi(place96.left), ScaleForDpi(place96.top),
        ScaleForDpi(place96.right), ScaleForDpi(place96.bottom), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

HWND CreatePanel(HWND parent, int id, DWORD style)
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
    return ::CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClassName, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | style,
                             0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

}  // namespace velmora::win32
