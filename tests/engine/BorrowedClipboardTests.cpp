// Pastes lend the clipboard: every format of the user's content must come
// back byte for byte, whichever clipboard step fails, and what the program
// puts there is kept out of clipboard history.

#include <gtest/gtest.h>

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
    // the user's content untouched, or nothing (it could not be given back).
    enum { GivenBack, Untouched, Lost } after;
    bool pasted;
    std::string_view error;
};

// Each step retries for two seconds, ten milliseconds apart: 201 attempts.
const FaultCase kFaultCases[] = {
    {"nothing fails", ClipboardStep::Save, 0, FaultCase::GivenBack, true, ""},
    {"save busy for a while", ClipboardStep::Save, 200, FaultCase::GivenBack, true, ""},
    {"save busy too long", ClipboardStep::Save, 201, FaultCase::Untouched, false, kCannotOpenClipboard},
    {"offer fails for a while", ClipboardStep::Offer, 200, FaultCase::GivenBack, true, ""},
    {"offer fails too long", ClipboardStep::Offer, 201, FaultCase::GivenBack, false, kCannotOpenClipboard},
    {"give back fails for a while", ClipboardStep::Replace, 200, FaultCase::GivenBack, true, ""},
    // The way out tries again for as long.
    {"give back fails too long", ClipboardStep::Replace, 201, FaultCase::GivenBack, true, kCannotOpenClipboard},
    {"give back never works", ClipboardStep::Replace, 402, FaultCase::Lost, true, kCannotOpenClipboard},
};

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
            const ClipboardContent users = UsersContent(platform.clipboard);
            platform.clipboard.content = users;
            platform.clipboard.failures[fault.step] = fault.failures;

            std::string error;
            try {
                kind.play(player);
            } catch (const VelmoraError& e) {
                error = e.what();
            }
            EXPECT_EQ(error, fault.error);
            EXPECT_EQ(platform.keyboard.typed, fault.pasted ? kind.typed : "");
            EXPECT_TRUE(platform.keyboard.KeysDown().empty());
            switch (fault.after) {
            case FaultCase::GivenBack:
                EXPECT_EQ(platform.clipboard.content, Joined(users, Marks(platform.clipboard)));
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
              (std::vector<ClipboardContent>{Joined({UnicodeText(u"text"), AnsiText("text")}, marks),
                                             Joined({UnicodeText(u"\u00E9"), AnsiText("\xE9")}, marks)}));
    EXPECT_EQ(platform.clipboard.content, marks) << "an empty clipboard comes back empty, and marked";
    EXPECT_EQ(platform.clipboard.waits.size(), 2u);
    EXPECT_TRUE(platform.clipboard.taken) << "reading the text counts as taking the offer";

    const std::uint32_t history = platform.clipboard.RegisterFormat("CanIncludeInClipboardHistory");
    platform.clipboard.content = {{history, std::string("\x01\0\0\0", 4)}, AnsiText("secret")};
    player.PlayKeyString("\xE9");
    EXPECT_EQ(platform.clipboard.content, Joined({AnsiText("secret")}, marks)) << "a mark already there, once";
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

}  // namespace
}  // namespace velmora
