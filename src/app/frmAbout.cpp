#include "app/frmAbout.h"

#include "ui/Resources.h"
#include "app/Version.h"
#include "ui/WebLinks.h"
#include "app/frmFirstTime.h"

namespace velmora {

namespace {

constexpr int kClientWidth = 337;
constexpr int kClientHeight = 329;
constexpr int kLinkId = 101;
// The picture keeps the product picture's proportions (505 x 277).
constexpr RECT kPicturePlace96{16, 16, 305, 167};

constexpr const char* kVersionText = "Version " VELMORA_VERSION_TEXT;
constexpr const char* kLinkText = "www.brackwell.example/velmora";
constexpr const char* kNoticeText =
    "\xA9 2026 Brackwell, Inc. All rights reserved.\r\nVelmora is built by a small team that types too much.";

}  // namespace

HWND AboutBoxHandle()
{
    return win32::FindProgramWindow(TAbout::kClassName);
}

void TAbout::FormCreate()
{
    m_font = win32::CreateMessageFont();
    m_boldFont = win32::CreateMessageFont(true);
    LOGFONTA link{};
    ::GetObjectA(m_font.Get(), sizeof link, &link);
    link.lfUnderline = TRUE;
    m_linkFont = win32::UniqueGdiObject(::CreateFontIndirectA(&link));

    // The button comes first in the tab order.
    win32::CreateControl(Handle(), "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, {248, 288, 73, 25},
                         m_font.Get());
    win32::CreateControl(Handle(), "STATIC", "Velmora", SS_LEFT | SS_NOPREFIX, 0, {16, 194, 305, 17},
                         m_boldFont.Get());
    win32::CreateControl(Handle(), "STATIC", kVersionText, SS_LEFT | SS_NOPREFIX, 0, {16, 212, 305, 17},
                         m_font.Get());
    m_link = win32::CreateControl(Handle(), "STATIC", kLinkText, SS_LEFT | SS_NOPREFIX | SS_NOTIFY, kLinkId,
                                  {16, 230, 170, 17}, m_linkFont.Get());
    win32::CreateControl(Handle(), "STATIC", kNoticeText, SS_LEFT | SS_NOPREFIX, 0, {16, 250, 305, 32},
                         m_font.Get());
    ::SetFocus(::GetDlgItem(Handle(), IDOK));
}

void TAbout::ShowAboutBox(HWND owner)
{
    if (const HWND open = AboutBoxHandle()) {
        win32::BringWindowToFront(open);
        return;
    }
    CloseWelcomeWindow();
    TAbout window;
    window.m_picture = win32::LoadJpegResource(VELMORA_IDR_PRODUCT_PICTURE);
    window.RunModal(CentredDialog(kClassName, "About Velmora", kClientWidth, kClientHeight, owner));
}

void TAbout::Button1Click()
{
    EndModal(IDOK);
}

void TAbout::LinkClick()
{
    OpenWebAddress(Handle(), kProductHomePageAddress);
}

void TAbout::Paint()
{
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(Handle(), &paint);
    const RECT place{win32::ScaleForDpi(kPicturePlace96.left), win32::ScaleForDpi(kPicturePlace96.top),
                     win32::ScaleForDpi(kPicturePlace96.left + kPicturePlace96.right),
                     win32::ScaleForDpi(kPicturePlace96.top + kPicturePlace96.bottom)};
    win32::DrawPicture(dc, m_picture, place);
    ::EndPaint(Handle(), &paint);
}

LRESULT TAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        FormCreate();
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            Button1Click();
            return 0;
        }
        if (LOWORD(wParam) == kLinkId && HIWORD(wParam) == STN_CLICKED) {
            LinkClick();
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == m_link) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, RGB(0, 0, 204));
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == m_link) {
            ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
            return TRUE;
        }
        break;
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

}  // namespace velmora
