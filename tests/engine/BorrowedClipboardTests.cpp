// Pastes lend the clipboard: every format of the user's content must come
// back byte for byte, whichever clipboard step fails, but never over what
// another program copied meanwhile; and what the program puts there is kept
// out of clipboard history.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "engine/KeyPlayback.h"
#include "fakes/FakePlatform.h"
#include "macros/Error.h"

namespace velmora {
namespace {

using tests::ClipboardStep;
using tests::FakePlatform;

std::string Utf16(std::u16string_view text)
{
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
}

// A clipboard as a browser leaves it. The engine handles every format alike
// but the marks, so one of each kind of id and every byte value is enough.
ClipboardContent UsersContent(tests::FakeClipboard& clipboard)
{
    std::string everyByte;
    for (int c = 0; c < 256; ++c) {
        everyByte += static_cast<char>(c);
    }
    return {
        {clipboard.RegisterFormat("HTML Format"), "Version:0.9\r\n<b>\xE2\x86\x92</b>"},
        {kClipboardUnicodeText, Utf16(u"arrow \u2192 smile \U0001F600") + std::string(2, '\0')},
        {kClipboardText, "arrow ? smile ??" + std::string(1, '\0')},
        {kClipboardDib, std::string(40, '\x28') + everyByte},
        {clipboard.RegisterFormat("Velmora test private"), everyByte},
    };
}

ClipboardContent Marks(tests::FakeClipboard& clipboard)
{
    const std::string zero(4, '\0');
    return {{clipboard.RegisterFormat("ExcludeClipboardContentFromMonitorProcessing"), zero},
            {clipboard.RegisterFormat("CanIncludeInClipboardHistory"), zero},
            {clipboard.RegisterFormat("CanUploadToCloudClipboard"), zero}};
}

ClipboardContent Joined(ClipboardContent first, const ClipboardContent& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

struct FaultCase {
    const char* name;
    ClipboardStep step;
    int failures;
    // What the clipboard holds afterwards: the user's content with the marks,
    // the user's content untouched, or nothing (it could not be given back,
    // and the user was told).
    enum { GivenBack, Untouched, Lost } after;
    bool pasted;
    std::string_view error;
};

// Saving and offering retry for two seconds, ten milliseconds apart (201
// attempts); a failing give-back is no error of the run: the timer goes on trying.
const FaultCase kFaultCases[] = {
    {"nothing fails", ClipboardStep::Save, 0, FaultCase::GivenBack, true, ""},
    {"save busy for a while", ClipboardStep::Save, 200, FaultCase::GivenBack, true, ""},
    {"save busy too long", ClipboardStep::Save, 201, FaultCase::Untouched, false, kCannotOpenClipboard},
    {"offer fails for a while", ClipboardStep::Offer, 200, FaultCase::GivenBack, true, ""},
    {"offer fails too long", ClipboardStep::Offer, 201, FaultCase::GivenBack, false, kCannotOpenClipboard},
    {"give back fails for a while", ClipboardStep::Restore, 24, FaultCase::GivenBack, true, ""},
    {"give back fails for seconds", ClipboardStep::Restore, 80, FaultCase::GivenBack, true, ""},
    {"give back never works", ClipboardStep::Restore, 1000, FaultCase::Lost, true, ""},
};

// What the main window's timer does until the give-back is settled.
void RunGiveBackTimer(KeyPlayer& player, FakePlatform& platform, std::function<void()> eachTick = {})
{
    while (player.Held().RetryGiveBack()) {
        platform.time.nowMs += kGiveBackRetryMs;
        if (eachTick) {
            eachTick();
        }
    }
}

struct PasteKind {
    const char* name;
    std::function<void(KeyPlayer&)> play;
    std::string typed;
};

const PasteKind kPasteKinds[] = {
    {"paste mode", [](KeyPlayer& player) { player.PasteText("pasted \xE9", u"pasted \u00E9"); }, "pasted \xE9"},
    {"typed character", [](KeyPlayer& player) { player.PlayKeyString("\xE9"); }, "\xE9"},
};

TEST(BorrowedClipboardTest, EveryFormatComesBackWhicheverStepFails)
{
    for (const PasteKind& kind : kPasteKinds) {
        for (const FaultCase& fault : kFaultCases) {
            SCOPED_TRACE(std::string(kind.name) + ", " + fault.name);
            FakePlatform platform;
            KeyPlayer player{platform.keyboard, platform.clipboard, platform.thread, platform.codePage};
            int told = 0;
            player.Held().GaveUp = [&] { ++told; };
            const ClipboardContent users = UsersContent(platform.clipboard);
            platform.clipboard.content = users;
            platform.clipboard.failures[fault.step] = fault.failures;

            std::string error;
            try {
                kind.play(player);
            } catch (const VelmoraError& e) {
                error = e.what();
            }
            RunGiveBackTimer(player, platform);
            EXPECT_EQ(error, fault.error);
            EXPECT_EQ(told, fault.after == FaultCase::Lost ? 1 : 0);
            EXPECT_EQ(platform.keyboard.typed, fault.pasted ? kind.typed : "");
            EXPECT_TRUE(platform.keyboard.KeysDown().empty());
            switch (fault.after) {
            case FaultCase::GivenBack:
                EXPECT_EQ(platform.clipboard.content, Joined(Marks(platform.clipboard), users));
                break;
            case FaultCase::Untouched: EXPECT_EQ(platform.clipboard.content, users); break;
            case FaultCase::Lost: EXPECT_TRUE(platform.clipboard.content.empty()); break;
            }
        }
    }
}

class LentClipboardTest : public ::testing::Test {
protected:
    FakePlatform platform;
    KeyPlayer player{platform.keyboard, platform.clipboard, platform.thread, platform.codePage};
};

TEST_F(LentClipboardTest, PastedContentIsUnicodeAndAnsiTextMarkedPrivateAndMarkedOnce)
{
    player.PasteText(std::string_view("text\0cut off", 12), u"text");
    player.PlayKeyString("\xE9");
    const ClipboardContent marks = Marks(platform.clipboard);
    EXPECT_EQ(platform.clipboard.pasted,
              (std::vector<ClipboardContent>{Joined(marks, {UnicodeText(u"text"), AnsiText("text")}),
                                             Joined(marks, {UnicodeText(u"\u00E9"), AnsiText("\xE9")})}));
    EXPECT_EQ(platform.clipboard.content, marks) << "an empty clipboard comes back empty, and marked";
    EXPECT_EQ(platform.clipboard.waits.size(), 2u);
    EXPECT_TRUE(platform.clipboard.taken) << "reading the text counts as taking the offer";

    const std::uint32_t history = platform.clipboard.RegisterFormat("CanIncludeInClipboardHistory");
    platform.clipboard.content = {{history, std::string("\x01\0\0\0", 4)}, AnsiText("secret")};
    player.PlayKeyString("\xE9");
    EXPECT_EQ(platform.clipboard.content, Joined(marks, {AnsiText("secret")})) << "a mark already there, once";
}

TEST_F(LentClipboardTest, ClipboardTooLargeToKeepIsLeftAloneAndThePasteRefused)
{
    platform.clipboard.content = {{kClipboardDib, std::string(kLargestKeptClipboard - 8, 'p')},
                                  AnsiText("12345678")};
    const ClipboardContent before = platform.clipboard.content;
    try {
        player.PasteText("never pasted", u"never pasted");
        FAIL() << "expected an error";
    } catch (const VelmoraError& error) {
        EXPECT_EQ(std::string(error.what()), kClipboardTooLarge);
    }
    EXPECT_TRUE(platform.keyboard.events.empty()) << "no Ctrl+V";
    EXPECT_EQ(platform.clipboard.content, before);
}

// The give-back goes only over the program's own offer: what another program
// copies during the paste stays. A clipboard kept open after the paste is
// given back from the timer for up to five seconds while the run goes on,
// then the user is told, once; a paste meanwhile gives it back first.
TEST(GiveBackTest, OnlyOverItsOwnOfferAndFromTheTimerForFiveSeconds)
{
    const ClipboardFormat copied = AnsiText("copied");
    const auto copy = [&](tests::FakeClipboard& clipboard) { clipboard.CopyElsewhere({copied}); };
    const auto add = [&](tests::FakeClipboard& clipboard) { clipboard.AddElsewhere(copied); };
    const auto nothing = [](tests::FakeClipboard&) {};
    const struct {
        const char* name;
        std::function<void(tests::FakeClipboard&)> meanwhile;
        std::uint64_t busyMs;  // after the paste
        bool pasteAgain;       // once the clipboard is free
        std::string after;     // its text in the end
        int told;
    } cases[] = {
        {"nothing else happens", nothing, 0, false, "user's", 0},
        {"another program copies", copy, 0, false, "copied", 0},
        {"another program adds a format", add, 0, false, "pasted", 0},
        {"another program copies and keeps it open", copy, 1000, false, "copied", 0},
        {"busy for a second", nothing, 1000, false, "user's", 0},
        {"busy for almost five seconds", nothing, 4900, false, "user's", 0},
        {"busy past five seconds", nothing, 6000, false, "pasted", 1},
        {"pasted again once free", nothing, 1000, true, "user's", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform platform;
        KeyPlayer player{platform.keyboard, platform.clipboard, platform.thread, platform.codePage};
        int told = 0;
        player.Held().GaveUp = [&] { ++told; };
        platform.clipboard.SetText("user's");
        std::uint64_t busyUntil = 0;
        platform.clipboard.duringWait = [&] {
            c.meanwhile(platform.clipboard);
            busyUntil = platform.time.nowMs + c.busyMs;
            platform.clipboard.alwaysBusy = c.busyMs > 0;
            platform.clipboard.duringWait = nullptr;
        };
        const auto freeWhenDue = [&] { platform.clipboard.alwaysBusy = platform.time.nowMs < busyUntil; };
        player.PasteText("pasted", u"pasted");
        EXPECT_LT(platform.time.nowMs, 1000u) << "the run does not wait for the clipboard";
        EXPECT_EQ(player.Held().Waiting(), c.busyMs > 0);
        if (c.pasteAgain) {
            platform.time.nowMs = busyUntil;
            freeWhenDue();
            player.PasteText(" again", u" again");
        }
        RunGiveBackTimer(player, platform, freeWhenDue);
        EXPECT_EQ(platform.keyboard.typed, c.pasteAgain ? "pasted again" : "pasted");
        EXPECT_EQ(platform.clipboard.Text(), c.after);
        EXPECT_EQ(told, c.told);
        platform.clipboard.alwaysBusy = false;
        EXPECT_FALSE(player.Held().RetryGiveBack()) << "nothing left to give back";
    }
}

// A bitmap is a system object, kept by reference: it comes back, and the
// reference kept for the paste is let go as soon as it is back.
TEST_F(LentClipboardTest, PictureComesBackAndIsLetGoAtOnce)
{
    const auto picture = std::make_shared<tests::FakePicture>("pixels");
    platform.clipboard.content = {{.id = 2, .bytes = {}, .object = picture}, AnsiText("x")};
    player.PasteText("pasted", u"pasted");
    const ClipboardContent& now = platform.clipboard.content;
    EXPECT_NE(std::find_if(now.begin(), now.end(), [&](const auto& f) { return f.object == picture; }), now.end());
    EXPECT_EQ(picture.use_count(), 2) << "held by this test and the clipboard alone";
}

}  // namespace
}  // namespace velmora
