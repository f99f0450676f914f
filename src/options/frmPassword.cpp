#include "options/frmPassword.h"

#include "platform/win32/Controls.h"
#include "platform/win32/ProgramWindows.h"
#include "ui/WebLinks.h"

namespace velmora {

HWND PasswordPromptHandle()
{
    return win32::FindProgramWindow(TPassword::kClassName);
}

void TPassword::OnStart()
{
    // Version 6 of the common controls shows a dot instead.
    ::SendMessageA(m_controls[password_id::kPassword], EM_SETPASSWORDCHAR, '*', 0);
}

void TPassword::OnOk()
{
    m_password = win32::TextOf(m_controls[password_id::kPassword]);
    Close(IDOK);
}

void TPassword::OnHelp()
{
    OpenHelpTopic(Handle(), "options.htm");
}

std::optional<std::string> TPassword::ShowPasswordPrompt(HWND owner)
{
    if (const HWND open = PasswordPromptHandle()) {
        win32::BringWindowToFront(open);
        return std::nullopt;
    }
    TPassword window;
    // No close box: the prompt ends with OK or Cancel only.
    if (window.RunModal(CentredDialog(kClassName, "Velmora Password", owner, window.m_controls, 0,
                                      WS_SYSMENU)) != IDOK) {
        return std::nullopt;
    }
    return window.m_password;
}

}  // namespace velmora
