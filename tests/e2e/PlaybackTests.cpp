// Plays macro texts with the real engine and the real system calls into an
// edit control of another process, and checks the text that arrives there.
// Under Wine the layout has no key for '(' and ')' and none for bytes above
// 126, so those go through the clipboard (see Win32PlatformTests.cpp).

#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "e2e/support/TargetProcess.h"
#include "engine/KeyPlayback.h"
#include "engine/MacroRunner.h"
#include "engine/TextExpansion.h"
#include "platform/win32/Win32Platform.h"
#include "support/TestVectors.h"
#include "support/WaitFor.h"

namespace velmora {
namespace {

using tests::WaitFor;

using namespace std::chrono_literals;
using tests::TargetProcess;

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCapsLock(false);
        target.emplace(tests::HostPath(VELMORA_TARGET_EXE), tests::UniqueTargetTitle());
        ASSERT_TRUE(target->Focus()) << "the target's edit control never got the focus";
    }

    void TearDown() override
    {
        target.reset();
        SetCapsLock(false);
    }

    void SetCapsLock(bool on)
    {
        if (platform.keyboard.IsKeyToggled(vk::Capital) != on) {
            platform.keyboard.Send(std::array{KeyInput{.virtualKey = vk::Capital},
                                              KeyInput{.virtualKey = vk::Capital, .flags = kKeyEventKeyUp}});
            ASSERT_TRUE(WaitFor([&] { return platform.keyboard.IsKeyToggled(vk::Capital) == on; }));
        }
    }

    // The clipboard's CF_TEXT, up to its 0.
    std::string ClipboardText()
    {
        const auto saved = platform.clipboard.Save(1u << 20);
        for (const ClipboardFormat& format : saved ? saved->formats : ClipboardContent{}) {
            if (format.id == kClipboardText) {
                return format.bytes.substr(0, format.bytes.find('\0'));
            }
        }
        return {};
    }

    void Play(std::string_view macroText) { player.PlayKeyString(expander.ExpandMacroText(macroText)); }

    win32::Win32Platform system;
    Platform platform = system.Get();
    RandomGenerator random;
    MacroTextExpander expander{platform.clock, platform.locale, random, platform.codePage};
    KeyPlayer player{platform.keyboard, platform.clipboard, platform.thread, platform.codePage};
    std::optional<TargetProcess> target;
};

TEST_F(PlaybackTest, TextArrivesInItsOwnCaseWithPunctuationAndDigits)
{
    // A paste waits at most two seconds for the target to catch up with the
    // keys before it, which a loaded machine's target may not do after a
    // run of typed keys; so each pasted bracket comes once the typed keys
    // before it have arrived.
    std::string all;
    for (const std::string_view part :
         {"Hello, World! 0123456789 The QUICK brown fox jumps over [the] {lazy} dog; "
          "a+b=c? 50% @home #1 $2 ^3 &4 *5 _6 -7 ~8 `9 'q' \"Q\" a|b a\\b a/b <x> 1:2 ",
          "(and the same again in brackets", ")"}) {
        Play(part);
        all += part;
        ASSERT_EQ(target->WaitForText(all), all);
    }
}

TEST_F(PlaybackTest, LineBreakAndTab)
{
    Play("one\r\ntwo{\"tab\"}three\tfour{\"enter\"}five");
    EXPECT_EQ(target->WaitForText("one\r\ntwo\tthree\tfour\r\nfive"), "one\r\ntwo\tthree\tfour\r\nfive");
}

TEST_F(PlaybackTest, ShiftTagShiftsEveryLaterKey)
{
    Play("x{\"shift\"}ab1.");
    EXPECT_EQ(target->WaitForText("xAB!>"), "xAB!>");
    EXPECT_FALSE(platform.keyboard.IsKeyDown(vk::Shift)) << "Shift is let go at the end";
}

TEST_F(PlaybackTest, CtrlTagSelectsAllAndTypingReplacesTheSelection)
{
    target->SetText("text that was there");
    Play("{\"ctrl\"}anew");
    EXPECT_EQ(target->WaitForText("new"), "new") << "Ctrl applies to the next key only";
    EXPECT_FALSE(platform.keyboard.IsKeyDown(vk::Control));
}

TEST_F(PlaybackTest, ArrowsHomeEndBackspaceAndDeleteEdit)
{
    Play("abcd{\"left\"}{\"left\"}X{\"home\"}1{\"end\"}2{\"backspace\"}{\"backspace\"}"
         "{\"enter\"}second{\"up\"}{\"end\"}!{\"home\"}{\"delete\"}{\"down\"}{\"end\"}?");
    EXPECT_EQ(target->WaitForText("abXc!\r\nsecond?"), "abXc!\r\nsecond?");
}

TEST_F(PlaybackTest, HighCharactersArePastedAndTheUserTextComesBack)
{
    ASSERT_TRUE(platform.clipboard.Replace({AnsiText("the user's own text")}));
    std::string high;
    for (int c = 127; c <= 252; ++c) {
        high += static_cast<char>(c);
    }
    Play("<" + high + "{\"#254\"}>");
    const std::string expected = "<" + high + "\xFE>";
    EXPECT_EQ(target->WaitForText(expected), expected);
    EXPECT_EQ(ClipboardText(), "the user's own text");
}

TEST_F(PlaybackTest, PasteModePastesTheWholeTextAndGivesTheClipboardBack)
{
    ASSERT_TRUE(platform.clipboard.Replace({AnsiText("earlier text")}));
    auto macro = std::make_shared<TMacro>();
    auto settings = std::make_unique<TTextMacro>();
    settings->Text = "Pasted {\"tab\"}all at once:\r\n\xE9t\xE9 (\xFC) {\"left\"}end";
    settings->Paste = true;
    macro->Settings = std::move(settings);
    TMacroList macros{{.Name = "paste", .Macro = macro}};
    MacroRunner runner(platform, macros, random);

    runner.RunMacro(macro);
    const std::string expected = "Pasted \tall at once:\r\n\xE9t\xE9 (\xFC) end";
    EXPECT_EQ(target->WaitForText(expected), expected);
    EXPECT_EQ(ClipboardText(), "earlier text");
}

TEST_F(PlaybackTest, CapsLockIsOffWhilePlayingAndOnAgainAfterwards)
{
    SetCapsLock(true);
    Play("Mixed Case 42 (yes)");
    EXPECT_EQ(target->WaitForText("Mixed Case 42 (yes)"), "Mixed Case 42 (yes)");
    EXPECT_TRUE(WaitFor([&] { return platform.keyboard.IsKeyToggled(vk::Capital); }));
}

// The clipboard's late rendering across processes, which pastes rely on.
TEST_F(PlaybackTest, OfferedTextIsTakenByAPasteInAnotherProcess)
{
    IClipboard& clipboard = platform.clipboard;
    ASSERT_TRUE(clipboard.Offer({AnsiText("first")}, {}));
    ASSERT_TRUE(::PostMessageA(target->Edit(), WM_PASTE, 0, 0));
    EXPECT_TRUE(clipboard.WaitUntilTaken(10s));
    EXPECT_EQ(target->WaitForText("first"), "first");

    ASSERT_TRUE(clipboard.Offer({AnsiText(" second")}, {}));
    platform.keyboard.Send(std::array{KeyInput{.virtualKey = vk::Control}, KeyInput{.virtualKey = vk::V},
                                      KeyInput{.virtualKey = vk::V, .flags = kKeyEventKeyUp},
                                      KeyInput{.virtualKey = vk::Control, .flags = kKeyEventKeyUp}});
    EXPECT_TRUE(clipboard.WaitUntilTaken(10s));
    EXPECT_EQ(target->WaitForText("first second"), "first second");
}

}  // namespace
}  // namespace velmora
