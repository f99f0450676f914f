// Playback on the layouts and code pages of other languages: characters that
// need AltGr, keyboards without Latin letters, and control characters whose
// answers from the layout are odd.

#include <gtest/gtest.h>

#include "engine/KeyPlayback.h"
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

}  // namespace
}  // namespace velmora
