#include "hotkeys/AbbreviationMatcher.h"

#include <gtest/gtest.h>

#include "fakes/FakeCodePage.h"
#include "fakes/FakeForegroundWatch.h"
#include "fakes/FakeKeyWatch.h"
#include "platform/Keyboard.h"

namespace velmora {
namespace {

using tests::FakeKeyWatch;

// One thing the user does: type text (a key per character), press one key,
// or have the matcher paused or not.
struct Step {
    enum Kind { Text, Key, Pause, Resume } kind = Text;
    std::u16string text;
    WatchedKey key;
    int times = 1;
};

Step Typed(std::u16string text)
{
    return {.kind = Step::Text, .text = std::move(text)};
}
Step Key(std::uint8_t virtualKey, std::uint8_t held = 0, std::u16string text = {})
{
    return {.kind = Step::Key, .key = {.virtualKey = virtualKey, .held = held, .text = std::move(text)}};
}
Step With(WatchedKey key)
{
    return {.kind = Step::Key, .key = std::move(key)};
}
Step Times(int times, Step step)
{
    step.times = times;
    return step;
}

struct Abbreviation {
    std::string text;
    std::string onlyIn;
};

struct Case {
    const char* name;
    std::vector<Abbreviation> abbreviations;
    std::vector<Step> steps;
    // "abbreviation@programs/characters" of each match, in order.
    std::vector<std::string> fired;
    std::u16string program = u"notepad.exe";
    int codePage = 1252;
};

void PrintTo(const Case& row, std::ostream* out)
{
    *out << row.name;
}

class MatcherTest : public ::testing::TestWithParam<Case> {
protected:
    std::vector<std::string> Run(const Case& c)
    {
        codePage.Use(c.codePage);
        foreground.program = c.program;
        TMacroList macros;
        for (const Abbreviation& abbreviation : c.abbreviations) {
            auto macro = std::make_shared<TMacro>();
            macro->Abbreviation = abbreviation.text;
            macro->OnlyIn = abbreviation.onlyIn;
            macro->Name = abbreviation.text + (abbreviation.onlyIn.empty() ? "" : "@" + abbreviation.onlyIn);
            macros.push_back({macro->Name, macro});
        }
        matcher.SetMacros(macros);
        bool paused = false;
        matcher.Paused = [&] { return paused; };
        std::vector<std::string> fired;
        const auto press = [&](const WatchedKey& key) {
            if (const auto match = matcher.KeyPressed(key)) {
                fired.push_back(match->macro->Name + "/" + std::to_string(match->characters));
            }
        };
        for (const Step& step : c.steps) {
            for (int time = 0; time < step.times; ++time) {
                Perform(step, press, paused);
            }
        }
        return fired;
    }

    template <typename Press>
    static void Perform(const Step& step, const Press& press, bool& paused)
    {
        if (step.kind == Step::Key) {
            press(step.key);
        } else if (step.kind != Step::Text) {
            paused = step.kind == Step::Pause;
        }
        for (std::size_t i = 0; step.kind == Step::Text && i < step.text.size(); ++i) {
            // A character beyond the first plane comes from one key, as a pair.
            const bool pair = step.text[i] >= 0xD800 && step.text[i] <= 0xDBFF;
            press({.virtualKey = FakeKeyWatch::VirtualKeyOf(step.text[i]), .text = step.text.substr(i, pair ? 2 : 1)});
            i += pair ? 1 : 0;
        }
    }

    tests::FakeCodePage codePage;
    tests::FakeForegroundWatch foreground;
    AbbreviationMatcher matcher{codePage, foreground};
};

TEST_P(MatcherTest, FiresExactlyWhereExpected)
{
    EXPECT_EQ(Run(GetParam()), GetParam().fired);
}

constexpr std::uint8_t kProcessKey = 0xE5;
const Step kBackspace = Key(vk::Back);

INSTANTIATE_TEST_SUITE_P(
    StartOfWord, MatcherTest,
    ::testing::Values(
        Case{"AtTheStartOfTyping", {{";sig"}}, {Typed(u";sig")}, {";sig/4"}},
        Case{"AfterASpace", {{"brb"}}, {Typed(u"ok brb")}, {"brb/3"}},
        Case{"AfterPunctuation", {{"brb"}}, {Typed(u"(brb"), Typed(u" _brb")}, {"brb/3", "brb/3"}},
        Case{"InsideAWord", {{"brb"}}, {Typed(u"abrb"), Typed(u" 4brb")}, {}},
        Case{"AfterLettersOfOtherScripts", {{"brb"}}, {Typed(u"\u00E9brb \u0436brb \u65E5brb \u0661brb")}, {}},
        Case{"AfterPunctuationOfOtherScripts", {{"brb"}}, {Typed(u"\u3002brb\u00A0brb\u00BFbrb")},
             {"brb/3", "brb/3", "brb/3"}},
        Case{"AgainAfterAMatch", {{"brb"}}, {Typed(u"brb brbbrb")}, {"brb/3", "brb/3", "brb/3"}},
        Case{"AfterTheCharacterOfADeadKey", {{"brb"}},
             {Key(0xDE), With({.virtualKey = 'E', .unknownText = true}), Typed(u"brb")}, {}},
        Case{"DeadKeyAloneTypesNothing", {{"brb"}}, {Typed(u" "), Key(0xDE), Typed(u"brb")}, {"brb/3"}},
        Case{"CyrillicAbbreviation", {{"\xF1\xEF\xF1"}}, {Typed(u"\u0441\u043F\u0441")}, {"\xF1\xEF\xF1/3"},
             u"notepad.exe", 1251},
        Case{"CharacterBeyondTheFirstPlaneCountsOnce", {{"\xF0\x9F\x98\x80!"}}, {Typed(u"\U0001F600!")},
             {"\xF0\x9F\x98\x80!/2"}, u"notepad.exe", 65001}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    CaseAndOverlap, MatcherTest,
    ::testing::Values(
        Case{"CaseIsExact", {{";sig"}}, {Typed(u";SIG ;Sig")}, {}},
        Case{"EachCaseItsOwn", {{"btw"}, {"BTW"}}, {Typed(u"BTW btw")}, {"BTW/3", "btw/3"}},
        Case{"LongerWins", {{"sig"}, {";sig"}}, {Typed(u";sig")}, {";sig/4"}},
        Case{"LongerWinsInAnyOrder", {{";sig"}, {"sig"}}, {Typed(u";sig")}, {";sig/4"}},
        Case{"ShorterWhenTheLongerIsInAWord", {{"sig"}, {";sig"}}, {Typed(u"x;sig")}, {"sig/3"}},
        Case{"ShorterWhenTheLongerIsForAnotherProgram", {{";sig", "wordpad.exe"}, {"sig"}}, {Typed(u";sig")},
             {"sig/3"}},
        Case{"NamedProgramBeatsEveryProgram", {{"sig"}, {"sig", "wordpad.exe;NOTEPAD.EXE"}}, {Typed(u"sig")},
             {"sig@wordpad.exe;NOTEPAD.EXE/3"}},
        Case{"EveryProgramServesTheOthers", {{"sig"}, {"sig", "wordpad.exe"}}, {Typed(u"sig")}, {"sig/3"}},
        Case{"OnlyForAnotherProgram", {{"sig", "wordpad.exe"}}, {Typed(u"sig")}, {}}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Backspace, MatcherTest,
    ::testing::Values(
        Case{"TakesBackOneCharacter", {{";sig"}}, {Typed(u";six"), kBackspace, kBackspace, Typed(u"ig")}, {";sig/4"}},
        Case{"UncoversTheStart", {{"brb"}}, {Typed(u"x"), kBackspace, Typed(u"brb")}, {"brb/3"}},
        Case{"OnNothingTakesNothing", {{"brb"}}, {kBackspace, kBackspace, Typed(u"brb")}, {"brb/3"}},
        Case{"LeavesTheLetterBefore", {{"brb"}}, {Typed(u"xbrr"), kBackspace, Typed(u"b")}, {}},
        Case{"WithCtrlForgets", {{";sig"}}, {Typed(u";si"), Key(vk::Back, kHeldCtrl), Typed(u"g")}, {}},
        Case{"AllTheWayBackOverForgottenText", {{"ab"}}, {Times(80, Typed(u"x")), Times(80, kBackspace), Typed(u"ab")},
             {"ab/2"}},
        Case{"ForgottenLetterStillBefore", {{"ab"}}, {Times(80, Typed(u"x")), Times(79, kBackspace), Typed(u"ab")},
             {}}),
    [](const auto& row) { return std::string(row.param.name); });

// Velmora's own keys, keys pressed while a macro ran, an input method's keys
// and the options window being open.
INSTANTIATE_TEST_SUITE_P(
    NotTyping, MatcherTest,
    ::testing::Values(
        Case{"OwnKeysAreNoTyping", {{";sig"}},
             {With({.virtualKey = ';', .text = u";", .own = true}), With({.virtualKey = 'S', .text = u"s", .own = true}),
              With({.virtualKey = 'I', .text = u"i", .own = true}), With({.virtualKey = 'G', .text = u"g", .own = true})},
             {}},
        Case{"OwnKeysInterruptNothing", {{";sig"}},
             {Typed(u";si"), With({.virtualKey = vk::Back, .own = true}), With({.virtualKey = vk::Return, .own = true}),
              With({.virtualKey = 'X', .text = u"x", .own = true}), Typed(u"g")},
             {";sig/4"}},
        Case{"KeysOfARun", {{";sig"}}, {Typed(u";si"), With({.virtualKey = 'G', .text = u"g", .duringRun = true})}, {}},
        Case{"AfterKeysOfARun", {{"brb"}}, {Typed(u"x"), With({.virtualKey = 'X', .text = u"x", .duringRun = true}),
                                            Typed(u"brb")}, {"brb/3"}},
        Case{"InputMethodKey", {{";sig"}}, {Typed(u";si"), With({.virtualKey = kProcessKey, .composing = true}),
                                           Typed(u"g")}, {}},
        Case{"InputMethodOpen", {{";sig"}}, {Typed(u";si"), With({.virtualKey = 'G', .text = u"g", .composing = true})},
             {}},
        Case{"WhilePaused", {{";sig"}}, {Typed(u";si"), Step{.kind = Step::Pause}, Typed(u"g"),
                                        Step{.kind = Step::Resume}, Typed(u";sig")}, {";sig/4"}}),
    [](const auto& row) { return std::string(row.param.name); });

// Each key that moves the caret or gives a command forgets the typing: the
// abbreviation cannot be finished across it, and what follows it starts a word.
TEST(AbbreviationMatcher, EachResetForgetsTheTyping)
{
    const std::pair<const char*, Step> resets[] = {
        {"Enter", Key(vk::Return, 0, u"\r")}, {"Tab", Key(vk::Tab, 0, u"\t")},
        {"Escape", Key(vk::Escape, 0, u"\x1B")}, {"Left", Key(vk::Left)}, {"Right", Key(vk::Right)},
        {"Up", Key(vk::Up)}, {"Down", Key(vk::Down)}, {"Home", Key(vk::Home)}, {"End", Key(vk::End)},
        {"PageUp", Key(vk::Prior)}, {"PageDown", Key(vk::Next)}, {"Ctrl", Key('S', kHeldCtrl, u"\x13")},
        {"CtrlWithoutText", Key(vk::F1 + 4, kHeldCtrl)}, {"Alt", Key('F', kHeldAlt, u"f")},
        {"Win", Key('D', kHeldWin, u"d")}, {"AltGrWithWin", Key('Q', kHeldCtrl | kHeldAlt | kHeldWin, u"@")},
    };
    for (const auto& [name, reset] : resets) {
        tests::FakeCodePage codePage;
        tests::FakeForegroundWatch foreground;
        AbbreviationMatcher matcher{codePage, foreground};
        TMacroList macros;
        for (const char* text : {";sig", "brb"}) {
            auto macro = std::make_shared<TMacro>();
            macro->Abbreviation = text;
            macros.push_back({text, macro});
        }
        matcher.SetMacros(macros);
        const auto type = [&](std::u16string_view text) {
            std::optional<AbbreviationMatch> last;
            for (const char16_t c : text) {
                last = matcher.KeyPressed({.virtualKey = FakeKeyWatch::VirtualKeyOf(c), .text = std::u16string(1, c)});
            }
            return last.has_value();
        };
        type(u";si");
        matcher.KeyPressed(reset.key);
        EXPECT_FALSE(type(u"g")) << name << " let an abbreviation be finished across it";
        type(u"x");
        matcher.KeyPressed(reset.key);
        EXPECT_TRUE(type(u"brb")) << name << " left the letter before";
    }
}

// Keys that type nothing leave the typing alone; AltGr types characters.
TEST(AbbreviationMatcher, KeysThatAreNoResets)
{
    const std::pair<const char*, Step> keys[] = {
        {"Shift", Key(vk::LShift, kHeldShift)}, {"CapsLock", Key(vk::Capital)}, {"F5", Key(vk::F1 + 4)},
        {"AltGr", Key(vk::RMenu, kHeldCtrl)},
    };
    for (const auto& [name, key] : keys) {
        tests::FakeCodePage codePage;
        tests::FakeForegroundWatch foreground;
        AbbreviationMatcher matcher{codePage, foreground};
        auto macro = std::make_shared<TMacro>();
        macro->Abbreviation = ";s@";
        matcher.SetMacros({{"m", macro}});
        matcher.KeyPressed({.virtualKey = 0xBA, .text = u";"});
        matcher.KeyPressed(key.key);
        matcher.KeyPressed({.virtualKey = 'S', .text = u"s"});
        EXPECT_TRUE(matcher.KeyPressed({.virtualKey = 'Q', .held = kHeldCtrl | kHeldAlt, .text = u"@"})) << name;
    }
}

TEST(IsWordCharacter, LettersAndDigitsOfEveryScript)
{
    for (const char32_t c : {U'a', U'Z', U'0', U'\u00E9', U'\u00DF', U'\u0436', U'\u05D0', U'\u0661', U'\u0915',
                             U'\u0301', U'\u3042', U'\u65E5', U'\uAC00', U'\U00020000', U'\u00AA'}) {
        EXPECT_TRUE(IsWordCharacter(c)) << static_cast<std::uint32_t>(c);
    }
    for (const char32_t c : {U' ', U';', U'_', U'\u00A0', U'\u00D7', U'\u00BF', U'\u2014', U'\u060C', U'\u3002',
                             U'\uFF0C', U'\u20AC', U'\U0001F600', U'\u00B2', U'\t'}) {
        EXPECT_FALSE(IsWordCharacter(c)) << static_cast<std::uint32_t>(c);
    }
}

}  // namespace
}  // namespace velmora
