#pragma once

// Lists the hot keys the system refused, after the options were applied.

#include <string>
#include <vector>

#include "platform/win32/Window.h"

namespace velmora {

class THotKeyErrors : public win32::Window<THotKeyErrors> {
public:
    static constexpr const char* kClassName = "THotKeyErrors";

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Shows the lines modally and returns when the user closes the window.
    static void ShowHotKeyErrors(HWND owner, const std::vector<std::string>& lines);

private:
    bool Create(HWND owner, const std::vector<std::string>& lines);
    void Button1Click();

    win32::UniqueGdiObject m_font;
    HWND m_lbxErrors = nullptr;
    bool m_closed = false;
};

}  // namespace velmora
