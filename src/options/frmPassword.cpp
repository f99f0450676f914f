#include "options/frmPassword.h"

#include "platform/win32/Controls.h"

namespace velmora {

namespace {

constexpr int kClientWidth = 265;
constexpr int kClientHeight = 145;
constexpr int kEditId = 101;

constexpr const char* kPromptText =
    "The area you are attempting to access is password protected. Please enter the password:";

}  // namespace

HWND PasswordPromptHandle()
{
    return win32::FindProgramWindow(TPassword::kClassName);
}

void TPassword::FormCreate()
{
    m_font = win32::CreateMessageFont();
    // The label comes just before the box in the tab order, which names it for a screen reader.
    win32::CreateControl(Handle(), "STATIC", kPromptText, SS_LEFT | SS_NOPREFIX, 0, {16, 12, 200, 45}, m_font.Get());
    m_edit1 = win32::CreateControl(Handle(), "EDIT", "", WS_BORDER | WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL,
                                   kEditId, {16, 64, 233, 21}, m_font.Get());
    // Version 6 of the common controls shows a dot instead.
    ::SendMessageA(m_edit1, EM_SETPASSWORDCHAR, '*', 0);
    win32::CreateControl(Handle(), "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, {96, 106, 73, 25},
                         m_font.Get());
    win32::CreateControl(Handle(), "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, {176, 106, 73, 25},
                         m_font.Get());
    ::SetFocus(m_edit1);
}

std::optional<std::string> TPassword::ShowPasswordPrompt(HWND owner)
{
    if (const HWND open = PasswordPromptHandle()) {
        win32::BringWindowToFront(open);
        return std::nullopt;
    }
    TPassword window;
    // No close box: the prompt ends with OK or Cancel only.
    if (window.RunModal(CentredDialog(kClassName, "Velmora Password", kClientWidth, kClientHeight, owner, 0,
                                      WS_SYSMENU)) != IDOK) {
        return std::nullopt;
    }
    return window.m_password;
}

LRESULT TPassword::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        FormCreate();
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            m_password = win32::TextOf(m_edit1);
            EndModal(IDOK);
            return 0;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndModal(IDCANCEL);
            return 0;
        }
        break;
    case WM_CLOSE:
        // Alt+F4 still reaches a window without a close box.
        EndModal(IDCANCEL);
        return 0;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace velmora
