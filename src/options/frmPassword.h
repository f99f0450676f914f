#pragma once

// Asks for the password that guards the options window. Modal; at most one
// is open.

#include <optional>
#include <string>

#include "options/PromptTables.h"
#include "platform/win32/Window.h"
#include "ui/TableControls.h"

namespace velmora {

class TPassword final : public win32::Window<TPassword> {
public:
    static constexpr const char* kClassName = "TPassword";

    // Shows a new prompt modally and returns the text exactly as typed, or
    // nothing when it was cancelled. While one is open, another call brings
    // it to the front and returns nothing.
    static std::optional<std::string> ShowPasswordPrompt(HWND owner);

private:
    void OnStart() override;
    void OnOk() override;
    void OnHelp() override;

    TableControls m_controls{kPasswordTable};
    std::string m_password;
};

// The open password prompt, or nullptr.
HWND PasswordPromptHandle();

}  // namespace velmora
