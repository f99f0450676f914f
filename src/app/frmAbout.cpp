#include "app/frmAbout.h"

#include <commctrl.h>

#include "app/frmFirstTime.h"
#include "platform/win32/ProgramWindows.h"
#include "ui/Resources.h"
#include "ui/WebLinks.h"

namespace velmora {

HWND AboutBoxHandle()
{
    return win32::FindProgramWindow(TAbout::kClassName);
}

void TAbout::ShowAboutBox(HWND owner)
{
    if (const HWND open = AboutBoxHandle()) {
        win32::BringWindowToFront(open);
        return;
    }
    CloseWelcomeWindow();
    // The link is a SysLink, which version 6 of the common controls has.
    const INITCOMMONCONTROLSEX link{.dwSize = sizeof(INITCOMMONCONTROLSEX), .dwICC = ICC_LINK_CLASS};
    ::InitCommonControlsEx(&link);
    TAbout window;
    window.m_picture = win32::LoadJpegResource(VELMORA_IDR_PRODUCT_PICTURE);
    window.RunModal(CentredDialog(kClassName, "About Velmora", owner, window.m_controls));
}

void TAbout::OnHelp()
{
    OpenHelpTopic(Handle(), "index.htm");
}

void TAbout::lnkHomePageClick()
{
    OpenWebAddress(Handle(), kProductHomePageAddress);
}

void TAbout::imgPictureDraw(const DRAWITEMSTRUCT& item)
{
    win32::DrawPicture(item.hDC, m_picture, item.rcItem);
}

LRESULT TAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.idFrom == about_id::kLink && (header.code == NM_CLICK || header.code == NM_RETURN)) {
            lnkHomePageClick();
            return 0;
        }
        break;
    }
    case WM_DRAWITEM:
        if (wParam == about_id::kPicture) {
            imgPictureDraw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace velmora
