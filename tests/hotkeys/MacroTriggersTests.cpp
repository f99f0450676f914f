// What the card and the printed list show of what sets a macro off.

#include "hotkeys/MacroTriggers.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace velmora {
namespace {

TEST(TriggerDisplayText, HotKeyAbbreviationAndProgramsEachWhenThereIsOne)
{
    const std::vector<std::tuple<std::string, std::string, std::string, std::string>> cases{
        // Key (with Ctrl), abbreviation, program list, shown.
        {"S", ";sig", "notepad.exe", "Ctrl + S   \";sig\"   (notepad.exe)"},
        {"S", "", "", "Ctrl + S"},
        {"", "brb", "notepad.exe;winword.exe", "\"brb\"   (notepad.exe, winword.exe)"},
        {"K", "", " notepad.exe ;; wordpad.exe ;", "Ctrl + K   (notepad.exe, wordpad.exe)"},
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
        EXPECT_EQ(TriggerDisplayText(macro), shown) << key << " " << abbreviation << " " << onlyIn;
        EXPECT_EQ(HasTrigger(macro), !shown.empty());
    }
}

}  // namespace
}  // namespace velmora
