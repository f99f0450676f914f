#pragma once

// Lists the hot keys the system refused, after the options were applied.

#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/win32/Window.h"

namespace velmora {

class THotKeyErrors : public win32::Window<THotKeyErrors> {
public:
    static constexpr const char* kClassName = "THotKeyErrors";

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Shows the lines modally and returns when the user closes the window.
    // They hold macro names, stored in `codePage` with U+ tags.
    static void ShowHotKeyErrors(HWND owner, const std::vector<std::string>& lines, ICodePage& codePage);

private:
    void FormCreate();
    void OkButtonClick();

    win32::UniqueGdiObject m_font;
    std::vector<std::u16string> m_lines;
    HWND m_lbxErrors = nullptr;
};

}  // namespace velmora
