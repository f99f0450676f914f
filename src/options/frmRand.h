#pragma once

// Asks for the bounds of a random number for the "Insert Variable..." menu.
// Modal, created anew for each use.

#include <optional>
#include <string>

#include "options/PromptTables.h"
#include "options/VariableMenu.h"
#include "platform/win32/Window.h"
#include "ui/TableControls.h"

namespace velmora {

class TRand final : public win32::Window<TRand> {
public:
    static constexpr const char* kClassName = "TRand";

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Shows a new dialog modally; the word of the tag ("Rand 1,6", "RandHex
    // 0,255,2"), or nothing when it was cancelled.
    static std::optional<std::string> AskRandomWord(HWND owner, bool hex);

private:
    void OnStart() override;
    // Normalises the fields and closes, unless the bounds are the wrong way round.
    void OnOk() override;
    void OnHelp() override;
    // The width shows only while the numbers are padded.
    void chkLeftPadClick();
    RandomFields Fields() const;

    TableControls m_controls{kRandTable};
    // Read as the window closes with OK.
    RandomFields m_fields;
};

}  // namespace velmora
