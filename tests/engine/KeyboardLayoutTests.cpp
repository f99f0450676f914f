// Playback on the layouts and code pages of other languages: characters that
// need AltGr, keyboards without Latin letters, and control characters whose
// answers from the layout are odd.

#include <gtest/gtest.h>

#include "engine/KeyPlayback.h"
#include "engine/MacroRunner.h"
#include "fakes/FakePlatform.h"

namespace velmora {
namespace {

using testing::FakePlatform;
using testing::Layout;

struct Typing {
    explicit Typing(Layout layout, int codePage = 1252)
    {
        platform.keyboard.layout = layout;
        platform.codePage.Use(codePage);
    }
    std::u32string Play(std::u32string_view text)
    {
        player.PlayKeyString(platform.codePage.Encode(text));
        return platform.keyboard.typedUnicode;
    }
    bool Pressed(std::uint8_t key) const
    {
        const auto& events = platform.keyboard.events;
        return std::find(events.begin(), events.end(), testing::KeyEvent{key, 0}) != events.end();
    }

    FakePlatform platform;
    KeyPlayer player{platform.keyboard, platform.clipboard, platform.thread};
};

TEST(KeyboardLayouts, TextArrivesAsWrittenOnEveryLayout)
{
    const struct {
        Layout layout;
        int codePage;
        std::u32string text;
    } cases[] = {
        {Layout::German, 1252, U"a@b.de"},
        {Layout::German, 1252, U"C:\\{x}[1]~|\u20AC\u00B5 yz YZ \u00E4\u00DF"},
        {Layout::French, 1252, U"mail@exemple.fr #1 {x} [2] \\ \u00E9"},
        {Layout::Russian, 1251, U"mail@host.ru \u0449\u0438\u0442 12"},
        {Layout::Us, 1252, U"a@b.us {x} \u00E9"},
    };
    for (const auto& c : cases) {
        Typing typing(c.layout, c.codePage);
        EXPECT_EQ(typing.Play(c.text), c.text) << static_cast<int>(c.layout);
        EXPECT_TRUE(typing.platform.keyboard.KeysDown().empty());
    }
}

// Windows answers a line feed with Ctrl+Enter and Wine with an OEM key; tab
// might come back with a modifier or without a key at all.
TEST(KeyboardLayouts, LineFeedAndTabKeepTheirKeysWhateverTheLayoutAnswers)
{
    const struct {
        char character;
        std::int16_t answer;
        std::uint8_t key;
    } cases[] = {
        {'\n', kScanCtrl | vk::Return, vk::Return},
        {'\n', 0xDE, vk::Return},
        {'\n', -1, vk::Return},
        {'\t', kScanCtrl | 'I', vk::Tab},
        {'\t', -1, vk::Tab},
        {'\r', 0xBF, vk::Return},
    };
    for (const auto& c : cases) {
        Typing typing(Layout::German);
        typing.platform.keyboard.oddAnswers[c.character] = c.answer;
        typing.player.PlayKeyString(std::string{'a', c.character, 'b'});
        const char shown = c.character == '\t' ? '\t' : '\n';
        EXPECT_EQ(typing.platform.keyboard.typed, std::string({'a', shown, 'b'})) << int{c.character};
        EXPECT_TRUE(typing.Pressed(c.key)) << int{c.character};
        EXPECT_EQ(typing.platform.clipboard.opens, 0) << "a control character is a key, never a paste";
    }
}

// Characters without a key go as Unicode input when the user asks, and
// always when the code page cannot hold them (the clipboard is ANSI only).
TEST(KeyboardLayouts, UnicodeInputLeavesTheClipboardAlone)
{
    const std::string mixed = "a@b {\"U+2192\"}{\"u+1F600\"} \xFC{\"#253\"}";
    const std::u32string shown = U"a@b \u2192\U0001F600 \u00FC\u00FD";
    const struct {
        bool unicodeInput;
        Layout layout;
        int codePage;
        std::string text;
        std::u32string expected;
        bool clipboard;
    } cases[] = {
        {true, Layout::German, 1252, mixed, shown, false},
        {false, Layout::German, 1252, mixed, shown, true},
        {false, Layout::Us, 1252, "{\"U+2192\"}{\"U+1F600\"}", U"\u2192\U0001F600", false},
        {false, Layout::Us, 1252, "{\"U+00E9\"}", U"\u00E9", true},
        {true, Layout::Russian, 1251, "ok \xFF\xFE", U"ok \u044F\u044E", false},
    };
    for (const auto& c : cases) {
        FakePlatform platform;
        platform.keyboard.layout = c.layout;
        platform.codePage.Use(c.codePage);
        platform.clipboard.text = "mine";
        TMacroList macros;
        RandomGenerator random;
        MacroRunner runner{platform.Get(), macros, random, {}, [&] { return c.unicodeInput; }};
        auto action = std::make_unique<TTextMacro>();
        action->Text = c.text;
        auto macro = std::make_shared<TMacro>();
        macro->Settings = std::move(action);
        runner.RunMacro(macro);
        EXPECT_EQ(platform.keyboard.typedUnicode, c.expected) << c.text;
        EXPECT_EQ(platform.clipboard.opens > 0, c.clipboard) << c.text;
        EXPECT_EQ(platform.clipboard.text, "mine");
        const auto& trace = platform.keyboard.trace;
        const auto high = std::find(trace.begin(), trace.end(), "+uD83D");
        if (c.expected.find(U'\U0001F600') != std::u32string::npos) {
            ASSERT_LE(high + 4, trace.end()) << c.text;
            EXPECT_EQ(std::vector<std::string>(high, high + 4),
                      (std::vector<std::string>{"+uD83D", "-uD83D", "+uDE00", "-uDE00"}));
        }
    }
}

// Stopped at every event in turn, playback with Unicode input and AltGr
// characters leaves no key down and CapsLock as it was.
TEST(KeyboardLayouts, InterruptedPlaybackOnAnAltGrLayoutLeavesNoKeyDown)
{
    const std::string keys = std::string("A@\xFF\x02\x01\xF6\x00\xE9\xFF\x11" "b\xFF\x02\x00\x21\x92" "z", 18);
    for (const bool unicodeInput : {false, true}) {
        for (int stopAt = 0; stopAt < 30; ++stopAt) {
            Typing typing(Layout::German);
            KeyPlayer player{typing.platform.keyboard, typing.platform.clipboard, typing.platform.thread, {},
                             [&] { return unicodeInput; }, &typing.platform.codePage};
            typing.platform.keyboard.SetToggled(vk::Capital, true);
            int events = 0;
            typing.platform.keyboard.beforeEvent = [&](const testing::KeyEvent&) {
                if (events++ == stopAt) {
                    throw std::runtime_error("stopped");
                }
            };
            try {
                player.PlayKeyString(keys);
            } catch (const std::runtime_error&) {
            }
            typing.platform.keyboard.beforeEvent = nullptr;
            EXPECT_TRUE(typing.platform.keyboard.KeysDown().empty()) << stopAt;
            EXPECT_TRUE(typing.platform.keyboard.IsKeyToggled(vk::Capital)) << stopAt;
        }
    }
}

}  // namespace
}  // namespace velmora
