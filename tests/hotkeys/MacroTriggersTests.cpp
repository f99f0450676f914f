// What the card and the printed list show of what sets a macro off.

#include "hotkeys/MacroTriggers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

TEST(TriggerDisplayText, HotKeyAbbreviationAndProgramsEachWhenThereIsOne)
{
    struct Case {
        std::string key;
        bool ctrl;
        std::string abbreviation;
        std::string onlyIn;
        std::string shown;
    };
    const std::vector<Case> cases{
        {"S", true, ";sig", "notepad.exe", "Ctrl + S   \";sig\"   (notepad.exe)"},
        {"S", true, "", "", "Ctrl + S"},
        {"F9", false, "brb", "", "F9   \"brb\""},
        {"", false, "brb", "notepad.exe;winword.exe", "\"brb\"   (notepad.exe, winword.exe)"},
        {"K", false, "", " notepad.exe ;; wordpad.exe ;", "K   (notepad.exe, wordpad.exe)"},
        {"K", false, "", " ; ", "K"},
        // Modifiers without a key, or only a program list, set nothing off.
        {"", true, "", "notepad.exe", ""},
    };
    for (const Case& c : cases) {
        TMacro macro;
        macro.HotKey = c.key;
        macro.HotKeyCtrl = c.ctrl;
        macro.Abbreviation = c.abbreviation;
        macro.OnlyIn = c.onlyIn;
        EXPECT_EQ(TriggerDisplayText(macro), c.shown) << c.key << " " << c.abbreviation << " " << c.onlyIn;
        EXPECT_EQ(HasTrigger(macro), !c.shown.empty());
    }
}

}  // namespace
}  // namespace velmora
