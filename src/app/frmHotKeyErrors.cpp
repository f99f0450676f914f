#include "app/frmHotKeyErrors.h"

#include "macros/UnicodeTags.h"

namespace velmora {

namespace {
constexpr int kClientWidth = 329;
constexpr int kClientHeight = 265;
constexpr int kErrorsId = 101;
constexpr const char* kCaption = "Hot Keys Not Available";
}  // namespace

void THotKeyErrors::FormCreate()
{
    m_font = win32::CreateMessageFont();
    // The button comes first in the tab order.
    win32::CreateControl(Handle(), "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, {240, 232, 73, 25},
                         m_font.Get());
    win32::CreateControl(Handle(), "STATIC",
                         "These hot keys could not be set up, for the reason given on each line. Choose other "
                         "keys for those macros in the options.",
                         SS_LEFT, 0, {16, 16, 305, 33}, m_font.Get());
    // Wide, for the names.
    m_lbxErrors = win32::CreateWideControl(Handle(), L"LISTBOX",
                                           WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT, kErrorsId,
                                           {16, 56, 297, 169}, m_font.Get());
    for (const std::u16string& line : m_lines) {
        ::SendMessageW(m_lbxErrors, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    ::SetFocus(::GetDlgItem(Handle(), IDOK));
}

void THotKeyErrors::ShowHotKeyErrors(HWND owner, const std::vector<std::string>& lines, ICodePage& codePage)
{
    THotKeyErrors window;
    for (const std::string& line : lines) {
        window.m_lines.push_back(ShowUnicodeTags(line, codePage));
    }
    window.RunModal(CentredDialog(kClassName, kCaption, kClientWidth, kClientHeight, owner));
}

void THotKeyErrors::OkButtonClick()
{
    EndModal(IDOK);
}

LRESULT THotKeyErrors::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        FormCreate();
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            OkButtonClick();
            return 0;
        }
        break;
    case WM_CLOSE:
        OkButtonClick();
        return 0;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace velmora
