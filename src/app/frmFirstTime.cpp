#include "app/frmFirstTime.h"

#include <memory>
#include <utility>

#include "platform/win32/ProgramWindows.h"
#include "ui/Resources.h"
#include "ui/WebLinks.h"

namespace velmora {

namespace {

RECT Scaled(const LayoutRect& place96, UINT dpi)
{
    const LayoutRect place = ScaleRect(place96, static_cast<int>(dpi));
    return {place.left, place.top, place.Right(), place.Bottom()};
}

}  // namespace

bool TFirstTime::FormCreate()
{
    m_picture = win32::LoadJpegResource(VELMORA_IDR_PRODUCT_PICTURE);
    m_smallPicture = win32::LoadJpegResource(VELMORA_IDR_SMALL_PICTURE);
    if (!CreateWindowFor(
            CentredDialog(kClassName, "Welcome to Velmora", nullptr, m_controls, WS_CLIPCHILDREN))) {
        return false;
    }
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    ::SetFocus(::GetDlgItem(Handle(), IDOK));
    return true;
}

void TFirstTime::OnOk()
{
    Close(IDOK);
}

void TFirstTime::OnCancel()
{
    Close(IDCANCEL);
}

void TFirstTime::OnHelp()
{
    OpenHelpTopic(Handle(), "index.htm");
}

void TFirstTime::FormPaint()
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
    // The text's panel, framed, in the colours of a window's text.
    RECT panel = Scaled(kWelcomePanel96, Dpi());
    ::FrameRect(dc, &panel, ::GetSysColorBrush(COLOR_BTNSHADOW));
    ::InflateRect(&panel, -1, -1);
    ::FillRect(dc, &panel, ::GetSysColorBrush(COLOR_WINDOW));
    win32::DrawPicture(dc, m_smallPicture, Scaled(kWelcomeSmallPicture96, Dpi()));
    ::EndPaint(Handle(), &paint);
}

LRESULT TFirstTime::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers the whole client area
    case WM_PAINT:
        FormPaint();
        return 0;
    case WM_CTLCOLORSTATIC: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
    }
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
