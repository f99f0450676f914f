#include "app/frmHotKeyErrors.h"

#include "macros/UnicodeTags.h"
#include "ui/WebLinks.h"

namespace velmora {

namespace {
constexpr const char* kCaption = "Hot Keys Not Available";
}  // namespace

void THotKeyErrors::OnStart()
{
    ::SetWindowTextA(m_controls[hot_key_errors_id::kIntro],
                     "These hot keys could not be set up, for the reason given on each line. Choose other "
                     "keys for those macros in the options.");
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
    window.RunModal(CentredDialog(kClassName, kCaption, owner, window.m_controls));
}

}  // namespace velmora
