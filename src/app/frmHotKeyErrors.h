#pragma once

// Lists the hot keys the system refused, after the options were applied.

#include <string>
#include <vector>

#include "app/AppWindowTables.h"
#include "platform/CodePage.h"
#include "platform/win32/Window.h"
#include "ui/TableControls.h"

namespace velmora {

class THotKeyErrors final : public win32::Window<THotKeyErrors> {
public:
    static constexpr const char* kClassName = "THotKeyErrors";

    // Shows the lines modally and returns when the user closes the window.
    // They hold macro names, stored in `codePage` with U+ tags.
    static void ShowHotKeyErrors(HWND owner, const std::vector<std::string>& lines, ICodePage& codePage);

private:
    void OnStart() override;
    void OnHelp() override;

    TableControls m_controls{kHotKeyErrorsTable};
    std::vector<std::u16string> m_lines;
};

}  // namespace velmora
