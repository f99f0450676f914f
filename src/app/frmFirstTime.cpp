#include "app/frmFirstTime.h"


#include <memory>
#include <utility>

#include "ui/Resources.h"

namespace velmora {

namespace {

constexpr int kClientWidth = 505;
constexpr int kClientHeight = 277;

constexpr const char* kWelcomeText =
    "Velmora is a powerful macro utility that sits in your system tray. To begin using Velmora you should "
    "define some macros.\r\n\r\n"
    "To begin defining your macros just click on the Velmora icon in your system tray. This will display the "
    "Options window where you can define your own custom macros.";

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

}  // namespace

bool TFirstTime::FormCreate()
{
    m_picture = win32::LoadJpegResource(VELMORA_IDR_PRODUCT_PICTURE);
    m_smallPicture = win32::LoadJpegResource(VELMORA_IDR_SMALL_PICTURE);
    if (!CreateWindowFor(
            CentredDialog(kClassName, "Welcome to Velmora", kClientWidth, kClientHeight, nullptr, WS_CLIPCHILDREN))) {
        return false;
    }
    m_buttonFont = win32::CreateMessageFont();
    LOGFONTA text{.lfHeight = -win32::ScaleForDpi(13), .lfWeight = FW_NORMAL, .lfCharSet = DEFAULT_CHARSET};
    lstrcpynA(text.lfFaceName, "Arial", LF_FACESIZE);
    m_textFont = win32::UniqueGdiObject(::CreateFontIndirectA(&text));
    const HWND button = win32::CreateControl(Handle(), "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK,
                                             {416, 16, 75, 25}, m_buttonFont.Get());
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    ::SetFocus(button);
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
    {
        const win32::SelectedObject font(dc, m_textFont.Get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::DrawTextA(dc, kWelcomeText, -1, &textPlace, DT_WORDBREAK | DT_NOPREFIX);
    }
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
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

void WelcomeWindowSlot::Show(const std::function<void()>& onCreate)
{
    if (m_window && m_window->Handle() != nullptr) {
        win32::BringWindowToFront(m_window->Handle());
        return;
    }
    auto window = std::make_unique<TFirstTime>();
    if (!window->FormCreate()) {
        return;
    }
    m_window = std::move(window);
    if (onCreate) {
        // A failure closes the window with the object.
        try {
            onCreate();
        } catch (...) {
            m_window.reset();
            throw;
        }
    }
}

void CloseWelcomeWindow()
{
    if (const HWND window = WelcomeWindowHandle()) {
        ::DestroyWindow(window);
    }
}

HWND WelcomeWindowHandle()
{
    return win32::FindProgramWindow(TFirstTime::kClassName);
}

}  // namespace velmora
