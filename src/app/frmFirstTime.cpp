#include "app/frmFirstTime.h"

#include <commctrl.h>

#include <memory>
#include <utility>

#include "ui/Resources.h"

namespace velmora {

namespace {

constexpr int kClientWidth = 505;
constexpr int kClientHeight = 277;
constexpr UINT_PTR kButtonSubclassId = 1;

constexpr const char* kWelcomeText =
    "Velmora is a powerful macro utility that sits in your system tray. To begin using Velmora you should "
    "define some macros.\r\n\r\n"
    "To begin defining your macros just click on the Velmora icon in your system tray. This will display the "
    "Options window where you can define your own custom macros.";

// The one open window. It owns itself and frees itself when destroyed, so a
// window still open at exit needs no static destructor.
TFirstTime* g_welcome = nullptr;

RECT Place(int left, int top, int width, int height)
{
    const int x = win32::ScaleForDpi(left);
    const int y = win32::ScaleForDpi(top);
    return {x, y, x + win32::ScaleForDpi(width), y + win32::ScaleForDpi(height)};
}

void FillPlace(HDC dc, const RECT& place, COLORREF colour)
{
    const win32::UniqueGdiObject brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &place, static_cast<HBRUSH>(brush.Get()));
}

// The program's message loop has no IsDialogMessage, so the button itself
// turns Enter and Esc into clicks, as a default and cancel button would.
LRESULT CALLBACK ButtonKeys(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) noexcept
{
    if (message == WM_GETDLGCODE && lParam == 0) {
        return ::DefSubclassProc(button, message, wParam, lParam) | DLGC_WANTALLKEYS;
    }
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        ::PostMessageA(::GetParent(button), WM_COMMAND, MAKEWPARAM(wParam == VK_RETURN ? IDOK : IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
        return 0;
    }
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(button, &ButtonKeys, kButtonSubclassId);
    }
    return ::DefSubclassProc(button, message, wParam, lParam);
}

}  // namespace

bool TFirstTime::FormCreate()
{
    m_picture = win32::LoadJpegResource(VELMORA_IDR_PRODUCT_PICTURE);
    m_smallPicture = win32::LoadJpegResource(VELMORA_IDR_SMALL_PICTURE);
    if (!CreateCentredDialog(kClassName, "Welcome to Velmora", kClientWidth, kClientHeight, nullptr, WS_CLIPCHILDREN)) {
        return false;
    }
    m_buttonFont = win32::CreateMessageFont();
    LOGFONTA text{.lfHeight = -win32::ScaleForDpi(13), .lfWeight = FW_NORMAL, .lfCharSet = DEFAULT_CHARSET};
    lstrcpynA(text.lfFaceName, "Arial", LF_FACESIZE);
    m_textFont = win32::UniqueGdiObject(::CreateFontIndirectA(&text));
    const HWND button = win32::CreateControl(Handle(), "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK,
                                             {416, 16, 75, 25}, m_buttonFont.Get());
    ::SetWindowSubclass(button, &ButtonKeys, kButtonSubclassId, 0);
    return true;
}

void TFirstTime::Button1Click()
{
    ::DestroyWindow(Handle());
}

void TFirstTime::Paint()
{
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(Handle(), &paint);
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (m_picture) {
        win32::DrawPicture(dc, m_picture, client);
    } else {
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    }
    FillPlace(dc, Place(78, 80, 415, 177), RGB(192, 192, 192));
    FillPlace(dc, Place(79, 81, 413, 175), RGB(255, 255, 255));
    RECT textPlace = Place(96, 96, 385, 105);
    const HGDIOBJ oldFont = ::SelectObject(dc, m_textFont.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::DrawTextA(dc, kWelcomeText, -1, &textPlace, DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, oldFont);
    win32::DrawPicture(dc, m_smallPicture, Place(216, 208, 115, 44));
    ::EndPaint(Handle(), &paint);
}

LRESULT TFirstTime::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            Button1Click();
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers the whole client area
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CLOSE:
        Button1Click();
        return 0;
    case WM_NCDESTROY:
        // The window is gone: forget and free the object. Nothing may touch it after this.
        if (m_ownsItself) {
            g_welcome = nullptr;
            delete this;
        }
        return 0;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

void ShowWelcomeWindow(std::function<void()> onCreate)
{
    if (g_welcome != nullptr) {
        ::SetForegroundWindow(g_welcome->Handle());
        return;
    }
    auto window = std::make_unique<TFirstTime>();
    if (!window->FormCreate()) {
        return;
    }
    window->m_ownsItself = true;
    g_welcome = window.release();
    try {
        if (onCreate) {
            onCreate();
        }
    } catch (...) {
        CloseWelcomeWindow();
        throw;
    }
    const HWND handle = g_welcome->Handle();
    ::ShowWindow(handle, SW_SHOW);
    ::SetForegroundWindow(handle);
    ::SetFocus(::GetDlgItem(handle, IDOK));
}

void CloseWelcomeWindow()
{
    if (g_welcome != nullptr) {
        ::DestroyWindow(g_welcome->Handle());
    }
}

HWND WelcomeWindowHandle()
{
    return g_welcome != nullptr ? g_welcome->Handle() : nullptr;
}

}  // namespace velmora
