// What the card and the printed list show of what sets a macro off.

#include "hotkeys/MacroTriggers.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace velmora {
namespace {

TEST(TriggerDisplayText, HotKeyAbbreviationAndProgramsEachWhenThereIsOne)
{
    // Key (with Ctrl), abbreviation, program list, shown.
    const std::array<std::string, 4> cases[] = {
        {"S", ";sig", "notepad.exe", "Ctrl + S   \";sig\"   (notepad.exe)"},
        {"", "brb", " notepad.exe ;; winword.exe ;", "\"brb\"   (notepad.exe, winword.exe)"},
        {"K", "", " ; ", "Ctrl + K"},
        // A modifier without a key, and a program list alone, set nothing off.
        {"", "", "notepad.exe", ""},
    };
    for (const auto& [key, abbreviation, onlyIn, shown] : cases) {
        TMacro macro;
        macro.HotKey = key;
        macro.HotKeyCtrl = true;
        macro.Abbreviation = abbreviation;
        macro.OnlyIn = onlyIn;
        EXPECT_EQ(TriggerDisplayText(macro), shown) << shown;
        EXPECT_EQ(HasTrigger(macro), !shown.empty()) << shown;
    }
}

}  // namespace
}  // namespace velmora
