#pragma once

// Asks for the password that guards the options window. Modal; at most one
// is open.

#include <optional>
#include <string>

#include "platform/win32/Window.h"

namespace velmora {

class TPassword : public win32::Window<TPassword> {
public:
    static constexpr const char* kClassName = "TPassword";

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Shows a new prompt modally and returns the text exactly as typed, or
    // nothing when it was cancelled. While one is open, another call brings
    // it to the front and returns nothing.
    static std::optional<std::string> ShowPasswordPrompt(HWND owner);

private:
    void FormCreate();

    win32::UniqueGdiObject m_font;
    HWND m_edit1 = nullptr;
    std::string m_password;
};

// The open password prompt, or nullptr.
HWND PasswordPromptHandle();

}  // namespace velmora
