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
    bool Create(HWND owner);
    void Button1Click();
    void Button2Click();
    std::string PasswordText() const;

    win32::UniqueGdiObject m_font;
    HWND m_edit1 = nullptr;
    bool m_cancelled = true;
    bool m_closed = false;
};

// The open password prompt, or nullptr.
HWND PasswordPromptHandle();

}  // namespace velmora
