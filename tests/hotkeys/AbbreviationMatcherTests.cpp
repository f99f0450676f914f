#include "hotkeys/AbbreviationMatcher.h"

#include <gtest/gtest.h>

#include "fakes/FakeCodePage.h"
#include "fakes/FakeForegroundWatch.h"
#include "fakes/FakeKeyWatch.h"
#include "platform/Keyboard.h"

namespace velmora {
namespace {

using Keys = std::vector<WatchedKey>;

// A key per character; one beyond the first plane comes as a pair.
Keys Typed(std::u16string_view text)
{
    Keys keys;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t units = text[i] >= 0xD800 && text[i] <= 0xDBFF ? 2 : 1;
        keys.push_back({.virtualKey = tests::FakeKeyWatch::VirtualKeyOf(text[i]), .text = std::u16string(text.substr(i, units))});
        i += units - 1;
    }
    return keys;
}
Keys Key(std::uint8_t virtualKey, std::uint8_t held = 0, std::u16string text = {})
{
    return {{.virtualKey = virtualKey, .held = held, .text = std::move(text)}};
}
Keys operator+(Keys a, const Keys& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Keys Times(int times, const Keys& keys)
{
    Keys all;
    for (int i = 0; i < times; ++i) {
        all = all + keys;
    }
    return all;
}
// The keys with one of their marks set.
Keys Marked(bool WatchedKey::*mark, Keys keys)
{
    for (WatchedKey& key : keys) {
        key.*mark = true;
    }
    return keys;
}

struct Abbreviation {
    std::string text;
    std::string onlyIn;
};

struct Case {
    std::string name;
    std::vector<Abbreviation> abbreviations;
    Keys keys;
    // "abbreviation@programs/characters" of each match, in order.
    std::vector<std::string> fired;
    int codePage = 1252;
};

void PrintTo(const Case& row, std::ostream* out)
{
    *out << row.name;
}

class MatcherTest : public ::testing::TestWithParam<Case> {
protected:
    void Use(const Case& c)
    {
        codePage.Use(c.codePage);
        foreground.program = u"notepad.exe";
        TMacroList macros;
        for (const auto& [text, onlyIn] : c.abbreviations) {
            auto macro = std::make_shared<TMacro>();
            macro->Abbreviation = text;
            macro->OnlyIn = onlyIn;
            macro->Name = text + (onlyIn.empty() ? "" : "@" + onlyIn);
            macros.push_back({macro->Name, macro});
        }
        matcher.SetMacros(macros);
    }
    std::vector<std::string> Fired(const Keys& keys)
    {
        std::vector<std::string> fired;
        for (const WatchedKey& key : keys) {
            if (const auto match = matcher.KeyPressed(key)) {
                fired.push_back(match->macro->Name + "/" + std::to_string(match->characters));
            }
        }
        return fired;
    }

    tests::FakeCodePage codePage;
    tests::FakeForegroundWatch foreground;
    AbbreviationMatcher matcher{codePage, foreground};
};

TEST_P(MatcherTest, FiresExactlyWhereExpected)
{
    Use(GetParam());
    EXPECT_EQ(Fired(GetParam().keys), GetParam().fired);
}

const Keys kBackspace = Key(vk::Back);
const Keys kDeadKey = Key(0xDE);
const Keys kAfterDeadKey = Marked(&WatchedKey::unknownText, Key('E'));
constexpr std::uint8_t kAltGr = kHeldCtrl | kHeldAlt;

INSTANTIATE_TEST_SUITE_P(
    StartOfWord, MatcherTest,
    ::testing::Values(
        Case{"AtTheStartOfTyping", {{";sig"}}, Typed(u";sig"), {";sig/4"}},
        Case{"AfterSpacesAndPunctuation", {{"brb"}}, Typed(u"ok brb (brb _brb"), {"brb/3", "brb/3", "brb/3"}},
        Case{"InsideAWord", {{"brb"}}, Typed(u"abrb 4brb"), {}},
        Case{"AfterLettersOfOtherScripts", {{"brb"}}, Typed(u"\u00E9brb \u0436brb \u65E5brb \u0661brb \u0915\u093Fbrb"), {}},
        Case{"AfterPunctuationOfOtherScripts", {{"brb"}}, Typed(u"\u3002brb\u00A0brb\u00BFbrb\u060Cbrb\U0001F600brb"),
             {"brb/3", "brb/3", "brb/3", "brb/3", "brb/3"}},
        Case{"AgainAfterAMatch", {{"brb"}}, Typed(u"brb brbbrb"), {"brb/3", "brb/3", "brb/3"}},
        Case{"AfterTheCharacterOfADeadKey", {{"brb"}}, kDeadKey + kAfterDeadKey + Typed(u"brb"), {}},
        Case{"DeadKeyAloneTypesNothing", {{"brb"}}, Typed(u" ") + kDeadKey + Typed(u"brb"), {"brb/3"}},
        Case{"CyrillicAbbreviation", {{"\xF1\xEF\xF1"}}, Typed(u"\u0441\u043F\u0441"), {"\xF1\xEF\xF1/3"}, 1251},
        Case{"CharacterBeyondTheFirstPlaneCountsOnce", {{"\xF0\x9F\x98\x80!"}}, Typed(u"\U0001F600!"),
             {"\xF0\x9F\x98\x80!/2"}, 65001}),
    [](const auto& row) { return row.param.name; });

INSTANTIATE_TEST_SUITE_P(
    CaseAndOverlap, MatcherTest,
    ::testing::Values(
        Case{"CaseIsExact", {{";sig"}}, Typed(u";SIG ;Sig"), {}},
        Case{"EachCaseItsOwn", {{"btw"}, {"BTW"}}, Typed(u"BTW btw"), {"BTW/3", "btw/3"}},
        Case{"LongerWins", {{"sig"}, {";sig"}}, Typed(u";sig"), {";sig/4"}},
        Case{"LongerWinsInAnyOrder", {{";sig"}, {"sig"}}, Typed(u";sig"), {";sig/4"}},
        Case{"ShorterWhenTheLongerIsInAWord", {{"sig"}, {";sig"}}, Typed(u"x;sig"), {"sig/3"}},
        Case{"ShorterWhenTheLongerIsForAnotherProgram", {{";sig", "wordpad.exe"}, {"sig"}}, Typed(u";sig"), {"sig/3"}},
        Case{"NamedProgramBeatsEveryProgram", {{"sig"}, {"sig", "wordpad.exe;NOTEPAD.EXE"}}, Typed(u"sig"),
             {"sig@wordpad.exe;NOTEPAD.EXE/3"}},
        Case{"OnlyForAnotherProgram", {{"sig", "wordpad.exe"}}, Typed(u"sig"), {}}),
    [](const auto& row) { return row.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Backspace, MatcherTest,
    ::testing::Values(
        Case{"TakesBackOneCharacter", {{";sig"}}, Typed(u";six") + Times(2, kBackspace) + Typed(u"ig"), {";sig/4"}},
        Case{"UncoversTheStart", {{"brb"}}, Typed(u"x") + kBackspace + Typed(u"brb"), {"brb/3"}},
        Case{"OnNothingTakesNothing", {{"brb"}}, Times(2, kBackspace) + Typed(u"brb"), {"brb/3"}},
        Case{"LeavesTheLetterBefore", {{"brb"}}, Typed(u"xbrr") + kBackspace + Typed(u"b"), {}},
        Case{"WithCtrlForgets", {{";sig"}}, Typed(u";si") + Key(vk::Back, kHeldCtrl) + Typed(u"g"), {}},
        Case{"AllTheWayBackOverForgottenText", {{"ab"}}, Times(80, Typed(u"x")) + Times(80, kBackspace) + Typed(u"ab"),
             {"ab/2"}},
        Case{"ForgottenLetterStillBefore", {{"ab"}}, Times(80, Typed(u"x")) + Times(79, kBackspace) + Typed(u"ab"), {}}),
    [](const auto& row) { return row.param.name; });

// Velmora's own keys are no typing and interrupt nothing; keys of a run and
// an input method's keys are no typing and forget what was typed.
INSTANTIATE_TEST_SUITE_P(
    NotTyping, MatcherTest,
    ::testing::Values(
        Case{"OwnKeys", {{";sig"}}, Marked(&WatchedKey::own, Typed(u";sig")), {}},
        Case{"OwnKeysInterruptNothing", {{";sig"}},
             Typed(u";si") + Marked(&WatchedKey::own, kBackspace + Key(vk::Return) + Typed(u"x")) + Typed(u"g"),
             {";sig/4"}},
        Case{"KeysOfARun", {{";sig"}}, Typed(u";si") + Marked(&WatchedKey::duringRun, Typed(u"g")), {}},
        Case{"AfterKeysOfARun", {{"brb"}}, Typed(u"x") + Marked(&WatchedKey::duringRun, Typed(u"x")) + Typed(u"brb"),
             {"brb/3"}},
        Case{"InputMethodKey", {{";sig"}}, Typed(u";si") + Marked(&WatchedKey::composing, Key(0xE5)) + Typed(u"g"), {}},
        Case{"InputMethodOpen", {{";sig"}}, Marked(&WatchedKey::composing, Typed(u";sig")), {}}),
    [](const auto& row) { return row.param.name; });

// Each key that moves the caret or gives a command forgets the typing: an
// abbreviation cannot be finished across it, and what follows starts a word.
// Keys that type nothing are no reset, and AltGr types characters.
std::vector<Case> ResetCases()
{
    const std::pair<const char*, Keys> resets[] = {
        {"Enter", Key(vk::Return, 0, u"\r")}, {"Tab", Key(vk::Tab, 0, u"\t")}, {"Escape", Key(vk::Escape, 0, u"\x1B")},
        {"Left", Key(vk::Left)}, {"Right", Key(vk::Right)}, {"Up", Key(vk::Up)}, {"Down", Key(vk::Down)},
        {"Home", Key(vk::Home)}, {"End", Key(vk::End)}, {"PageUp", Key(vk::Prior)}, {"PageDown", Key(vk::Next)},
        {"Ctrl", Key('S', kHeldCtrl, u"\x13")}, {"CtrlWithoutText", Key(vk::F1 + 4, kHeldCtrl)},
        {"Alt", Key('F', kHeldAlt, u"f")}, {"Win", Key('D', kHeldWin, u"d")}, {"AltGrWithWin", Key('Q', kAltGr | kHeldWin, u"@")},
    };
    const std::pair<const char*, Keys> others[] = {
        {"Shift", Key(vk::LShift, kHeldShift)}, {"CapsLock", Key(vk::Capital)}, {"F5", Key(vk::F1 + 4)},
        {"AltGrKey", Key(vk::RMenu, kHeldCtrl)},
    };
    std::vector<Case> cases;
    for (const auto& [name, reset] : resets) {
        cases.push_back({name, {{";sig"}, {"brb"}}, Typed(u";si") + reset + Typed(u"g x") + reset + Typed(u"brb"), {"brb/3"}});
    }
    for (const auto& [name, key] : others) {
        cases.push_back({std::string("No") + name, {{";s@ig"}}, Typed(u";s") + key + Key('Q', kAltGr, u"@") + Typed(u"ig"),
                         {";s@ig/5"}});
    }
    return cases;
}
INSTANTIATE_TEST_SUITE_P(Resets, MatcherTest, ::testing::ValuesIn(ResetCases()),
                         [](const auto& row) { return row.param.name; });

// While the options window is open or a macro runs nothing matches, and
// what was typed before is forgotten.
TEST_F(MatcherTest, NothingWhilePaused)
{
    Use({.abbreviations = {{";sig"}}});
    bool paused = false;
    matcher.Paused = [&] { return paused; };
    EXPECT_EQ(Fired(Typed(u";si")), std::vector<std::string>{});
    paused = true;
    EXPECT_EQ(Fired(Typed(u"g ;sig")), std::vector<std::string>{});
    paused = false;
    EXPECT_EQ(Fired(Typed(u"g ;sig")), std::vector<std::string>{";sig/4"});
}

}  // namespace
}  // namespace velmora
