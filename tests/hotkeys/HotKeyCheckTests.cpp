#include "hotkeys/HotKeyCheck.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/FakeHotKeys.h"
#include "fakes/FakePlatform.h"
#include "options/OptionsEditor.h"

namespace velmora {
namespace {

using tests::FakeHotKeys;

std::shared_ptr<TMacro> Combination(std::uint32_t modifiers, std::string key, std::string name = {})
{
    auto macro = std::make_shared<TMacro>();
    macro->Name = std::move(name);
    macro->HotKey = std::move(key);
    macro->HotKeyWin = (modifiers & kModWin) != 0;
    macro->HotKeyShift = (modifiers & kModShift) != 0;
    macro->HotKeyCtrl = (modifiers & kModControl) != 0;
    macro->HotKeyAlt = (modifiers & kModAlt) != 0;
    return macro;
}

TEST(ReservedHotKeys, EveryEntryIsFoundAsItselfAndOffersAChoosableKey)
{
    for (const ReservedHotKey& entry : ReservedHotKeys()) {
        const auto macro = Combination(entry.modifiers, std::string(entry.key));
        SCOPED_TRACE(HotKeyDisplayText(*macro));
        EXPECT_EQ(FindReservedHotKey(*macro), &entry) << "missing, or listed twice";
        EXPECT_NE(std::find(kHotKeyNames.begin() + 1, kHotKeyNames.end(), entry.key), kHotKeyNames.end());
        EXPECT_FALSE(entry.description.empty());
    }
}

TEST(ReservedHotKeys, OnlyTheExactSetOfModifiersIsReserved)
{
    constexpr std::uint32_t ctrlAlt = kModControl | kModAlt;
    const struct {
        std::uint32_t modifiers;
        const char* key;
        bool reserved;
    } cases[] = {
        {kModWin, "l", true}, {kModWin | kModShift, "L", false}, {kModShift, "L", false}, {ctrlAlt, "L", false},
        {ctrlAlt, "Delete", true}, {ctrlAlt | kModShift, "Delete", false}, {kModControl, "Delete", false},
        {kModShift | kModControl, "Escape", true}, {kModShift, "Escape", false},
        {0, "F12", true}, {kModShift, "F12", false}, {kModWin, "F12", false},
        {kModAlt, "F4", true}, {kModAlt | kModShift, "F4", false}, {kModWin, "J", false},
    };
    for (const auto& c : cases) {
        const auto macro = Combination(c.modifiers, c.key);
        EXPECT_EQ(FindReservedHotKey(*macro) != nullptr, c.reserved) << HotKeyDisplayText(*macro);
    }
}

TEST(HotKeyStatusText, WindowsThenTheListThenOtherProgramsDecide)
{
    constexpr std::uint32_t ctrlAlt = kModControl | kModAlt;
    const TMacroList macros = {
        {"Alpha", Combination(ctrlAlt, "J", "Alpha")},
        {"Lock", Combination(kModWin, "L", "Lock")},
        {"Gamma", Combination(ctrlAlt, "j", "Gamma")},
        {"Edited", Combination(0, "", "Edited")},
    };
    const struct {
        std::uint32_t modifiers;
        const char* key;
        int editIndex;
        const char* expected;
    } cases[] = {
        {ctrlAlt, "", 3, ""},
        {ctrlAlt, "K", 3, "Ctrl + Alt + K is free"},
        {ctrlAlt, "J", 3, "Ctrl + Alt + J is also used by \"Alpha\""},
        {ctrlAlt, "J", 0, "Ctrl + Alt + J is also used by \"Gamma\""},
        {kModWin, "L", 3, "Win + L is reserved by Windows (locks the computer)"},
        {ctrlAlt, "T", 3, "Ctrl + Alt + T is taken by another program"},
        {kModWin | kModShift | kModControl | kModAlt, "T", 3, "Win + Shift + Ctrl + Alt + T is free"},
    };
    for (const auto& c : cases) {
        tests::FakePlatform platform;
        FakeHotKeys probe;
        probe.takenElsewhere = {{ctrlAlt, 'T'}, {ctrlAlt, 'J'}};
        const auto macro = Combination(c.modifiers, c.key);
        EXPECT_EQ(HotKeyStatusText(*macro, macros, c.editIndex, probe, platform.keyboard, platform.codePage), c.expected);
        EXPECT_TRUE(probe.registered.empty()) << c.expected;
    }
}

// Macros for different programs share a combination: only one whose list can
// claim a program of the edited macro's is named.
TEST(HotKeyStatusText, OnlyMacrosForTheSameProgramsAreNamed)
{
    const TMacroList macros = {{"Notepad", Combination(kModControl, "K", "Notepad")},
                               {"Wordpad", Combination(kModControl, "K", "Wordpad")}};
    macros[0].Macro->OnlyIn = "notepad.exe";
    macros[1].Macro->OnlyIn = "wordpad.exe;calc.exe";
    const std::pair<const char*, const char*> cases[] = {
        {"", "Ctrl + K is free"},
        {"explorer.exe", "Ctrl + K is free"},
        {"NOTEPAD.EXE", "Ctrl + K is also used by \"Notepad\""},
        {"explorer.exe;calc.exe", "Ctrl + K is also used by \"Wordpad\""},
    };
    for (const auto& [onlyIn, expected] : cases) {
        tests::FakePlatform platform;
        FakeHotKeys probe;
        const auto macro = Combination(kModControl, "K");
        macro->OnlyIn = onlyIn;
        EXPECT_EQ(HotKeyStatusText(*macro, macros, -1, probe, platform.keyboard, platform.codePage), expected)
            << onlyIn;
    }
}

}  // namespace
}  // namespace velmora
