#pragma once

// Asks for the bounds of a random number for the "Insert Variable..." menu.
// Modal, created anew for each use.

#include <optional>
#include <string>

#include "options/VariableMenu.h"
#include "platform/win32/Window.h"

namespace velmora {

class TRand : public win32::Window<TRand> {
public:
    static constexpr const char* kClassName = "TRand";

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Shows a new dialog modally; the word of the tag ("Rand 1,6", "RandHex
    // 0,255,2"), or nothing when it was cancelled.
    static std::optional<std::string> AskRandomWord(HWND owner, bool hex);

private:
    void FormCreate();
    void Button1Click();
    void Button2Click();
    void CheckBox1Click();
    RandomFields Fields() const;

    win32::UniqueGdiObject m_font;
    HWND m_edit1 = nullptr;
    HWND m_edit2 = nullptr;
    HWND m_edit3 = nullptr;
    HWND m_label3 = nullptr;
    HWND m_checkBox1 = nullptr;
    // Read as the window closes with OK.
    RandomFields m_fields;
};

}  // namespace velmora
