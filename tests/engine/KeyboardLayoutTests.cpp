// Keystroke macros on the layouts and code pages of other languages: AltGr
// characters, keyboards without Latin letters, odd answers for control
// characters, bytes 253 to 255 as letters, and Unicode input.

#include <gtest/gtest.h>

#include "engine/MacroRunner.h"
#include "macros/Error.h"
#include "fakes/FakePlatform.h"

namespace velmora {
namespace {

using tests::FakePlatform;
using tests::Layout;

struct System : FakePlatform {
    System(Layout layout, int page)
    {
        keyboard.layout = layout;
        codePage.Use(page);
        clipboard.SetText("mine");
    }
    std::u32string Run(const std::string& text, bool paste = false)
    {
        auto action = std::make_unique<TTextMacro>();
        action->Text = text;
        action->Paste = paste;
        auto macro = std::make_shared<TMacro>();
        macro->Settings = std::move(action);
        runner.RunMacro(macro);
        EXPECT_EQ(clipboard.Text(), "mine");
        return keyboard.typedUnicode;
    }
    TMacroList macros;
    RandomGenerator random;
    bool unicodeInput = false;
    MacroRunner runner{Get(), macros, random, {}, [this] { return unicodeInput; }};
};

TEST(KeyboardLayouts, TextArrivesAsWrittenOnEveryLayout)
{
    const std::pair<Layout, std::u32string> cases[] = {
        {Layout::German, U"a@b.de"},
        {Layout::German, U"C:\\{x}[1]~|\u20AC\u00B5 yz YZ \u00E4\u00DF"},
        {Layout::French, U"mail@exemple.fr #1 {x} [2] \\ \u00E9"},
        {Layout::Us, U"a@b.us {x} \u00E9"},
    };
    for (const auto& [layout, text] : cases) {
        System system(layout, 1252);
        EXPECT_EQ(system.Run(system.codePage.Encode(text)), text);
        EXPECT_TRUE(system.keyboard.KeysDown().empty());
    }
}

// Windows answers a line feed with Ctrl+Enter and Wine with an OEM key.
TEST(KeyboardLayouts, ControlCharactersKeepTheirKeysWhateverTheLayoutAnswers)
{
    const std::pair<char, std::int16_t> cases[] = {
        {'\n', kScanCtrl | vk::Return}, {'\n', 0xDE}, {'\n', -1}, {'\t', kScanCtrl | 'I'}, {'\t', -1}, {'\r', 0xBF},
    };
    for (const auto& [character, answer] : cases) {
        System system(Layout::German, 1252);
        system.keyboard.oddAnswers[character] = answer;
        system.Run({'a', character, 'b'});
        EXPECT_EQ(system.keyboard.typed, std::string({'a', character == '\t' ? '\t' : '\n', 'b'})) << +character;
        EXPECT_EQ(system.keyboard.events.size(), 6u) << "three bare keys, no paste";
    }
}

// Russian, Greek and Hebrew layouts have no "v": the paste presses the key.
TEST(KeyboardLayouts, PasteModePressesKeyVOnALayoutWithoutLatinLetters)
{
    System system(Layout::Russian, 1251);
    const std::u32string text = U"\u043F\u0440\u0438\u0432\u0435\u0442 mail@host.ru";
    EXPECT_EQ(system.Run(system.codePage.Encode(text), /*paste=*/true), text);
    EXPECT_EQ(system.keyboard.events, (std::vector<tests::KeyEvent>{
                                          {vk::Control, 0}, {vk::V, 0}, {vk::V, kKeyEventKeyUp}, {vk::Control, kKeyEventKeyUp}}));
}

// Bytes 253 to 255 are letters in many code pages: Russian ya, e and yu,
// Turkish dotless i and s-cedilla, Icelandic y-acute and thorn. The locale's
// names are Unicode: in the code page when it has them, keyless otherwise.
TEST(KeyboardLayouts, LettersArriveFromTextAndLocaleNamesInEveryCodePage)
{
    const std::tuple<int, std::u32string, std::u32string, std::u32string> cases[] = {
        {1251, U"\u044D\u0442\u043E \u044E\u0433 ", U"\u044F\u043D\u0432\u0430\u0440\u044F",
         U"\u043F\u044F\u0442\u043D\u0438\u0446\u0430"},
        {1254, U"I\u015F\u0131k ", U"Kas\u0131m", U"Per\u015Fembe"},
        {1252, U"\u00FD \u00FE \u00FF ", U"\u00FEorri", U"\u00FEri\u00F0judagur"},
        {932, U"\u65E5 ", U"12\u6708", U"\u65E5\u66DC\u65E5"},
        {65001, U"", U"d\u00E9cembre", U"dimanche"},
        {1252, U"", U"\u0434\u0435\u043A\u0430\u0431\u0440\u044C", U"\u0432\u0441"},
    };
    for (const bool paste : {false, true}) {
        for (const auto& [page, text, month, day] : cases) {
            System system(page == 1251 ? Layout::Russian : Layout::Us, page);
            system.clock.names.months[11] = std::u16string(month.begin(), month.end());
            system.clock.names.days[0] = std::u16string(day.begin(), day.end());
            EXPECT_EQ(system.Run(system.codePage.Encode(text) + "{\"monthname\"}/{\"dayofweek\"}", paste),
                      text + month + U"/" + day)
                << page << paste;
        }
    }
}

// Characters without a key go as Unicode input when the user asks, and
// always when the code page cannot hold them (the clipboard is ANSI for now).
TEST(KeyboardLayouts, UnicodeInputLeavesTheClipboardAlone)
{
    const std::string mixed = "a@b {\"U+2192\"}{\"u+1F600\"} \xFC{\"#253\"}";
    const std::u32string shown = U"a@b \u2192\U0001F600 \u00FC\u00FD";
    const std::tuple<bool, Layout, int, std::string, std::u32string, bool> cases[] = {
        {true, Layout::German, 1252, mixed, shown, false},
        {false, Layout::German, 1252, mixed, shown, true},
        {false, Layout::Us, 1252, "{\"U+2192\"}{\"U+1F600\"}", U"\u2192\U0001F600", true},
        {false, Layout::Us, 1252, "{\"U+00E9\"}", U"\u00E9", true},
        {true, Layout::Russian, 1251, "ok \xFF\xFE", U"ok \u044F\u044E", false},
    };
    for (const auto& [unicodeInput, layout, page, text, expected, clipboard] : cases) {
        System system(layout, page);
        system.unicodeInput = unicodeInput;
        EXPECT_EQ(system.Run(text), expected) << text << ": a character beyond FFFF goes whole, not as two halves";
        EXPECT_EQ(system.clipboard.opens > 0, clipboard) << text;
    }
}

// In code page 932 a trail byte may be @ [ \ { | }, and in both 932 and
// UTF-8 a character takes several bytes: tags start and end only between
// characters, and each character arrives whole, typed or pasted.
TEST(KeyboardLayouts, CharactersOfSeveralBytesArriveWhole)
{
    const std::tuple<int, std::string, std::u32string> cases[] = {
        {932, "\x83\x7B\"tab\"}", U"ボ\"tab\"}"},                       // the { of ボ opens no tag
        {932, "{\"tab\"}\x93\xFA\x96\x7B\x8C\xEA{\"tab\"}", U"\t日本語\t"},
        {932, "\x83\x5C\x95\x5C\x94\x5C \x83\x40\x83\x5B\x83\x7C\x83\x7D", U"ソ表能 ァゼポマ"},
        {932, "{\"\x83\x5Cx", U"x"},                                  // an unclosed mark takes ソ whole
        {932, "{\"x\x83\"}", U""},                                    // a lead byte cannot take the quote
        {932, "\xB1\xDF!", U"\uFF71\uFF9F!"},                           // half-width katakana are one byte
        {932, "a\x83", U"a\uFFFD"},                                     // a lead byte at the end
        {932, "\x83\x30|", U"\uFFFD0|"},                                // a lead byte without a valid trail
        {65001, "\xC3\xA9{\"tab\"}\xE6\x97\xA5\xF0\x9F\x98\x80", U"é\t日\U0001F600"},
        {65001, "\xE6\x97", U"\uFFFD\uFFFD"},                          // cut short
        {65001, "\xC0\xAF\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong, surrogate
        {1252, "\xE9{\"tab\"}\x83\x7B", U"é\tƒ{"},
    };
    for (const bool paste : {false, true}) {
        for (const auto& [page, text, expected] : cases) {
            System system(Layout::Us, page);
            EXPECT_EQ(system.Run(text, paste), expected) << page << " " << text << " paste " << paste;
        }
    }
}

// CR LF types one Enter; the bytes inside an escape are never a CR or LF.
TEST(KeyboardLayouts, LineBreaksNextToEscapesAreOneEnter)
{
    const std::tuple<int, std::string, std::u32string> cases[] = {
        {1252, "{\"U+010D\"}\r\nx{\"U+300D\"}\r\ny", U"č\nx」\ny"},
        {1252, "{\"U+300D\"}\r\r\n{\"U+0D0A\"}", U"」\n\u0D0A"},
        {1252, "\r{\"U+300D\"}\r", U"\n」\n"},
        {1251, "\xFD\r\n\xFF\r\n", U"э\nя\n"},
        {932, "\x83\x5C\r\n\x96\x7B", U"ソ\n本"},
    };
    for (const auto& [page, text, expected] : cases) {
        System system(Layout::Us, page);
        EXPECT_EQ(system.Run(text), expected) << text;
    }
}

// Input refused from each event in turn, playback with AltGr characters and
// Unicode input leaves no key down and CapsLock as the user had it.
TEST(KeyboardLayouts, InterruptedPlaybackLeavesNoKeyDown)
{
    for (const bool unicodeInput : {false, true}) {
        bool finished = false;
        for (int stopAt = 0; !finished; ++stopAt) {
            System system(Layout::German, 1252);
            system.unicodeInput = unicodeInput;
            system.keyboard.SetToggled(vk::Capital, true);
            system.keyboard.acceptedEvents = static_cast<std::size_t>(stopAt);
            try {
                system.Run("A@{\"U+1F600\"}\xE9{\"ctrl\"}b{\"U+2192\"}z");
                finished = true;
            } catch (const VelmoraError&) {
            }
            EXPECT_TRUE(system.keyboard.KeysDown().empty()) << stopAt;
            EXPECT_TRUE(system.keyboard.IsKeyToggled(vk::Capital)) << stopAt;
        }
    }
}

}  // namespace
}  // namespace velmora
