#include "options/frmPickPrograms.h"

#include "options/ProgramPicks.h"
#include "platform/win32/RunningPrograms.h"
#include "ui/WebLinks.h"

namespace velmora {

void TPickPrograms::OnStart()
{
    const HWND list = m_controls[pick_programs_id::kPrograms];
    for (const std::u16string& name : m_choices) {
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
}

void TPickPrograms::OnOk()
{
    const HWND list = m_controls[pick_programs_id::kPrograms];
    // The list holds the choices in their order; it sorts nothing itself.
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        if (::SendMessageW(list, LB_GETSEL, i, 0) > 0) {
            m_picked.push_back(m_choices[i]);
        }
    }
    Close(IDOK);
}

void TPickPrograms::OnHelp()
{
    OpenHelpTopic(Handle(), "programs.htm");
}

std::vector<std::u16string> TPickPrograms::AskPrograms(HWND owner, ICodePage& codePage)
{
    TPickPrograms window;
    window.m_choices = ProgramChoices(win32::RunningProgramNames(), codePage);
    if (window.RunModal(CentredDialog(kClassName, kCaption, owner, window.m_controls)) != IDOK) {
        return {};
    }
    return window.m_picked;
}

}  // namespace velmora
