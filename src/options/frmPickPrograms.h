#pragma once

// Lists the running programs by file name for the user to tick and add to a
// macro's program list. Modal, created anew for each use.

#include <string>
#include <vector>

#include "options/PromptTables.h"
#include "platform/CodePage.h"
#include "platform/win32/Window.h"
#include "ui/TableControls.h"

namespace velmora {

class TPickPrograms final : public win32::Window<TPickPrograms> {
public:
    static constexpr const char* kClassName = "TPickPrograms";
    static constexpr const char* kCaption = "Pick Programs";

    // Shows the programs running now; the ones ticked when the user chose
    // OK, none when cancelled.
    static std::vector<std::u16string> AskPrograms(HWND owner, ICodePage& codePage);

private:
    void OnStart() override;
    void OnOk() override;
    void OnHelp() override;

    TableControls m_controls{kPickProgramsTable};
    std::vector<std::u16string> m_choices;
    // Read as the window closes with OK.
    std::vector<std::u16string> m_picked;
};

}  // namespace velmora
