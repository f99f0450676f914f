#include "hotkeys/AbbreviationMatcher.h"

#include <gtest/gtest.h>

#include <functional>

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
        keys.push_back(
            {.virtualKey = tests::FakeKeyWatch::VirtualKeyOf(text[i]), .text = std::u16string(text.substr(i, units))});
        i += units - 1;
    }
    return keys;
}
Keys Key(std::uint8_t virtualKey, std::uint8_t held = 0, std::u16string text = {}, std::size_t times = 1)
{
    return Keys(times, {.virtualKey = virtualKey, .held = held, .text = std::move(text)});
}
Keys operator+(Keys a, const Keys& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
// The keys with one of their marks set.
Keys Marked(bool WatchedKey::*mark, Keys keys)
{
    for (WatchedKey& key : keys) {
        key.*mark = true;
    }
    return keys;
}

struct Case {
    std::string name;
    // "abbreviation|programs" of each macro, the programs left out for every program.
    std::vector<std::string> macros;
    Keys keys;
    // "macro/characters" of each match, in order.
    std::vector<std::string> fired;
    int codePage = 1252;
};

// Types the keys into notepad with the case's macros: each match, in order.
// `paused` tells, by their index, the keys typed while nothing may match.
std::vector<std::string> Fired(const Case& c, const std::function<bool(std::size_t key)>& paused = {})
{
    tests::FakeCodePage codePage;
    codePage.Use(c.codePage);
    tests::FakeForegroundWatch foreground;
    foreground.program = u"notepad.exe";
    AbbreviationMatcher matcher{codePage, foreground};
    TMacroList macros;
    for (const std::string& name : c.macros) {
        auto macro = std::make_shared<TMacro>();
        const std::size_t bar = name.find('|');
        macro->Name = name;
        macro->Abbreviation = name.substr(0, bar);
        macro->OnlyIn = bar == std::string::npos ? "" : name.substr(bar + 1);
        macros.push_back({name, macro});
    }
    matcher.SetMacros(macros);
    std::size_t at = 0;
    matcher.Paused = [&] { return paused && paused(at); };
    std::vector<std::string> fired;
    for (; at < c.keys.size(); ++at) {
        if (const auto match = matcher.KeyPressed(c.keys[at])) {
            fired.push_back(match->macro->Name + "/" + std::to_string(match->characters));
        }
    }
    return fired;
}

class MatcherTest : public ::testing::TestWithParam<Case> {};

TEST_P(MatcherTest, FiresExactlyWhereExpected)
{
    EXPECT_EQ(Fired(GetParam()), GetParam().fired);
}

constexpr std::uint8_t kAltGr = kHeldCtrl | kHeldAlt;

std::vector<Case> Cases()
{
    const auto back = [](std::size_t times) { return Key(vk::Back, 0, {}, times); };
    const Keys ctrlBack = Key(vk::Back, kHeldCtrl);
    const Keys deadKey = Key(0xDE);
    const Keys afterDeadKey = Marked(&WatchedKey::unknownText, Key('E'));
    const Keys own = Marked(&WatchedKey::own, back(1) + Key(vk::Return) + Typed(u"x"));
    const Keys composing = Marked(&WatchedKey::composing, Key(0xE5));
    const Keys typeNothing =
        Key(vk::LShift, kHeldShift) + Key(vk::Capital) + Key(vk::F1 + 4) + Key(vk::RMenu, kHeldCtrl);
    const Keys x80 = Typed(std::u16string(80, u'x'));
    std::vector<Case> cases = {
        // A word starts where typing does, after a match, and after any script's punctuation.
        {"WordStarts", {"brb"}, Typed(u"brb brb (brbbrb _brb\u3002brb\u00A0brb\u00BFbrb\u060Cbrb\U0001F600brb"),
         std::vector<std::string>(10, "brb/3")},
        {"InsideAWordOfAnyScript", {"brb"},
         Typed(u"abrb 4brb \u00E9brb \u0436brb \u65E5brb \u0661brb \u0915\u093Fbrb"), {}},
        // A dead key types nothing; what it makes with the next key is a letter.
        {"DeadKeys", {"brb"}, Typed(u" ") + deadKey + Typed(u"brb ") + deadKey + afterDeadKey + Typed(u"brb"), {"brb/3"}},
        {"Cyrillic", {"\xF1\xEF\xF1"}, Typed(u"\u0441\u043F\u0441"), {"\xF1\xEF\xF1/3"}, 1251},
        {"BeyondTheFirstPlaneCountsOnce", {"\xF0\x9F\x98\x80!"}, Typed(u"\U0001F600!"), {"\xF0\x9F\x98\x80!/2"},
         65001},
        {"CaseIsExact", {"btw", "BTW"}, Typed(u"BTW btw Btw"), {"BTW/3", "btw/3"}},
        // Of abbreviations ending one another, the longer one that may match wins;
        // a macro named for the program beats one for every program.
        {"TheLongerAtAWordStartWins", {"sig", ";sig"}, Typed(u";sig x;sig"), {";sig/4", "sig/3"}},
        {"TheMacroForTheProgramWins", {";sig|wordpad.exe", "sig", "sig|wordpad.exe;NOTEPAD.EXE"}, Typed(u";sig"),
         {"sig|wordpad.exe;NOTEPAD.EXE/3"}},
        // Backspace takes back one character, none before the start; with Ctrl
        // it may take a word, so the typing is forgotten.
        {"Backspace", {";sig", "brb"}, Typed(u";six") + back(2) + Typed(u"igx") + back(2) + Typed(u"brb"),
         {";sig/4", "brb/3"}},
        {"CtrlBackspaceForgets", {";sig"}, Typed(u";sii") + ctrlBack + Typed(u"g ;si") + ctrlBack + Typed(u"g"), {}},
        // Typing beyond the longest abbreviation is dropped, yet still counts as a word before.
        {"BackspaceOverDroppedTyping", {"ab"}, x80 + back(79) + Typed(u"ab") + back(3) + Typed(u"ab"), {"ab/2"}},
        // Velmora's own keys interrupt nothing; a run's and an input method's forget the typing.
        {"OwnKeysInterruptNothing", {";sig"}, Typed(u";si") + own + Typed(u"g"), {";sig/4"}},
        {"KeysOfARunForget", {"brb"}, Typed(u"x") + Marked(&WatchedKey::duringRun, Typed(u"x")) + Typed(u"brb"),
         {"brb/3"}},
        {"InputMethod", {";sig"},
         Typed(u";si") + composing + Typed(u"g ") + Marked(&WatchedKey::composing, Typed(u";sig")), {}},
        // Keys that type nothing leave the typing as it is; AltGr types.
        {"TypingNothingAndAltGr", {";s@ig"}, Typed(u";s") + typeNothing + Key('Q', kAltGr, u"@") + Typed(u"ig"),
         {";s@ig/5"}},
    };
    // Keys that move the caret or give a command forget the typing, and what
    // follows starts a word.
    const std::pair<const char*, Keys> resets[] = {
        {"Enter", Key(vk::Return, 0, u"\r")}, {"Tab", Key(vk::Tab, 0, u"\t")}, {"Escape", Key(vk::Escape, 0, u"\x1B")},
        {"Left", Key(vk::Left)}, {"Right", Key(vk::Right)}, {"Up", Key(vk::Up)}, {"Down", Key(vk::Down)},
        {"Home", Key(vk::Home)}, {"End", Key(vk::End)}, {"PageUp", Key(vk::Prior)}, {"PageDown", Key(vk::Next)},
        {"Ctrl", Key('S', kHeldCtrl, u"\x13")}, {"CtrlWithoutText", Key(vk::F1 + 4, kHeldCtrl)},
        {"Alt", Key('F', kHeldAlt, u"f")}, {"Win", Key('D', kHeldWin, u"d")},
        {"AltGrWithWin", Key('Q', kAltGr | kHeldWin, u"\u00E6")},
    };
    for (const auto& [name, reset] : resets) {
        cases.push_back(
            {name, {";sig", "brb"}, Typed(u";si") + reset + Typed(u"g x") + reset + Typed(u"brb"), {"brb/3"}});
    }
    return cases;
}
INSTANTIATE_TEST_SUITE_P(Typing, MatcherTest, ::testing::ValuesIn(Cases()),
                         [](const auto& row) { return row.param.name; });

// While the options window is open or a macro runs nothing matches, and
// what was typed before is forgotten: here ";si", then "g ;sig" paused, then "g ;sig".
TEST(AbbreviationMatcher, NothingWhilePaused)
{
    const auto paused = [](std::size_t key) { return key >= 3 && key < 9; };
    EXPECT_EQ(Fired({.macros = {";sig"}, .keys = Typed(u";sig ;sigg ;sig")}, paused),
              std::vector<std::string>{";sig/4"});
}

}  // namespace
}  // namespace velmora
