#include "app/frmHotKeyErrors.h"

#include "macros/UnicodeTags.h"
#include "ui/WebLinks.h"

namespace velmora {

void THotKeyErrors::OnStart()
{
    ::SetWindowTextA(m_controls[hot_key_errors_id::kIntro],
                     "The following hot keys could not be added because they are already in use by other "
                     "programs or Windows itself.");
    // Wide, for the names.
    const HWND errors = m_controls[hot_key_errors_id::kErrors];
    for (const std::u16string& line : m_lines) {
        ::SendMessageW(errors, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

void THotKeyErrors::OnHelp()
{
    OpenHelpTopic(Handle(), "macros.htm");
}

void THotKeyErrors::ShowHotKeyErrors(HWND owner, const std::vector<std::string>& lines, ICodePage& codePage)
{
    THotKeyErrors window;
    for (const std::string& line : lines) {
        window.m_lines.push_back(ShowUnicodeTags(line, codePage));
    }
    window.RunModal(CentredDialog(kClassName, "HotKeyErrors", owner, window.m_controls));
}

}  // namespace velmora
