// Text beyond the keys of the layout, typed by the real velmora.exe into
// Wine's own Unicode editors and read back as UTF-16: characters of the code
// page that share their bytes with the playback escapes, U+ characters inside
// and above the Basic Multilingual Plane, through the clipboard and as
// Unicode input, in paste mode, and line breaks and tabs in a rich edit
// control as well as a plain one.

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "e2e/support/VelmoraProcess.h"
#include "support/WaitFor.h"

namespace velmora {
namespace {

using tests::ClipboardBytes;
using tests::HotKeyMacro;
using tests::Press;
using tests::PutOnClipboard;
using tests::SaveMacros;
using tests::SetRegistryText;
using tests::TargetProcess;
using tests::TrayIconShown;
using tests::WaitFor;

struct Editor {
    const char* program;
    const char* windowClass;
    const char* editClass;
};
const Editor kNotepad{"notepad.exe", "Notepad", "Edit"};
const Editor kWordpad{"\"C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe\"", "WORDPADTOP", "RichEdit20W"};

struct Case {
    const char* name;
    std::string text;
    bool paste;
    bool unicodeInput;
    Editor editor;
    std::wstring expected;
};

void PrintTo(const Case& row, std::ostream* out)
{
    *out << row.name;
}

class LanguageTest : public tests::VelmoraProcessTest, public ::testing::WithParamInterface<Case> {
protected:
    // Starts the program with one macro on Ctrl+Alt+F9 and the setting for
    // characters without a key, then opens the editor with the focus.
    TargetProcess& StartWith(const std::string& text, bool paste, bool unicodeInput, const Editor& editor)
    {
        const std::string settingsKey = UseOwnName("velmora-language");
        SetRegistryText(settingsKey, "FirstTimeRun_Checked", "False");
        SetRegistryText(settingsKey, "UnicodeInput_Checked", unicodeInput ? "True" : "False");
        auto macro = HotKeyMacro(1, text, "F9");
        dynamic_cast<TTextMacro&>(*macro->Settings).Paste = paste;
        SaveMacros(directory, {{"macro", macro}});
        Start();
        EXPECT_TRUE(WaitFor([&] { return TrayIconShown(mainWindow); })) << "start-up never finished";
        target.emplace(editor.program, editor.windowClass, editor.editClass);
        EXPECT_TRUE(target->Focus()) << "the editor's text never got the focus";
        return *target;
    }

    // The case's macro, on its hot key, into its editor.
    void TypeAndExpect(const Case& c)
    {
        TargetProcess& editor = StartWith(c.text, c.paste, c.unicodeInput, c.editor);
        Press({VK_CONTROL, VK_MENU, VK_F9});
        EXPECT_EQ(editor.WaitForWideText(c.expected), c.expected);
        CloseAndExpectCleanExit();
    }

    std::optional<TargetProcess> target;
};

TEST_P(LanguageTest, TextArrivesAsItsCharacters)
{
    TypeAndExpect(GetParam());
}

const std::string kUnicodeTags = "a{\"U+2192\"}b{\"u+1f600\"}c";
INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageTest,
    ::testing::Values(
        Case{"EscapeBytesTyped", "\xFD\xFE\xFF!", false, false, kNotepad, L"\u00FD\u00FE\u00FF!"},
        Case{"EscapeBytesAsUnicodeInput", "\xFD\xFE\xFF!", false, true, kNotepad, L"\u00FD\u00FE\u00FF!"},
        Case{"UnicodeTagsThroughTheClipboard", kUnicodeTags, false, false, kNotepad, L"a\u2192b\U0001F600c"},
        Case{"UnicodeTagsAsUnicodeInput", kUnicodeTags, false, true, kNotepad, L"a\u2192b\U0001F600c"},
        Case{"PasteMode", "{\"U+2192\"} \xE9t\xE9\xFF", true, false, kNotepad, L"\u2192 \u00E9t\u00E9\u00FF"},
        Case{"LineBreakAndTabInNotepad", "one\r\ntwo\tthree", false, false, kNotepad, L"one\r\ntwo\tthree"},
        Case{"LineBreakAndTabInWordpad", "one\r\ntwo\tthree", false, false, kWordpad, L"one\r\ntwo\tthree"}),
    [](const ::testing::TestParamInfo<Case>& row) { return std::string(row.param.name); });

// Unicode input types even the characters of no key without borrowing the
// clipboard: what the user copied stays, untouched.
TEST_F(LanguageTest, UnicodeInputNeverTouchesTheClipboard)
{
    const UINT own = ::RegisterClipboardFormatA("Velmora e2e private format");
    const std::vector<std::pair<UINT, std::string>> users = {{CF_TEXT, std::string("user text", 10)},
                                                             {own, std::string("private\0\xFF\x01 bytes", 17)}};
    TargetProcess& editor = StartWith("(\xE9\xFD{\"U+2192\"}{\"U+1F600\"})", false, true, kNotepad);
    ASSERT_TRUE(PutOnClipboard(users));
    const DWORD sequence = ::GetClipboardSequenceNumber();
    Press({VK_CONTROL, VK_MENU, VK_F9});
    EXPECT_EQ(editor.WaitForWideText(L"(\u00E9\u00FD\u2192\U0001F600)"), L"(\u00E9\u00FD\u2192\U0001F600)");
    EXPECT_EQ(::GetClipboardSequenceNumber(), sequence);
    for (const auto& [format, bytes] : users) {
        EXPECT_EQ(ClipboardBytes(format).value_or("").substr(0, bytes.size()), bytes);
    }
    CloseAndExpectCleanExit();
}

// Under a Japanese locale (code page 932) a stored text is in double-byte
// characters, some with a trail byte that is { or \ (ボ, ソ, 表), and the
// locale writes December as "12月". Run under LANG=ja_JP.UTF-8 by its own entry.
class JapaneseTest : public LanguageTest {
protected:
    void SetUp() override
    {
        VELMORA_REQUIRE_JAPANESE_CODE_PAGE();
        LanguageTest::SetUp();
    }
};

TEST_P(JapaneseTest, TextArrivesAsItsCharacters)
{
    TypeAndExpect(GetParam());
}

std::wstring JapaneseExpected()
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return L"日本語ボ\"tab\"}ソ表 " + std::to_wstring(now.wMonth) + L"月";
}

const std::string kJapanese = "\x93\xFA\x96\x7B\x8C\xEA\x83\x7B\"tab\"}\x83\x5C\x95\x5C {\"monthname\"}";
INSTANTIATE_TEST_SUITE_P(
    Cases, JapaneseTest,
    ::testing::Values(Case{"Typed", kJapanese, false, false, kNotepad, JapaneseExpected()},
                      Case{"Pasted", kJapanese, true, false, kNotepad, JapaneseExpected()}),
    [](const ::testing::TestParamInfo<Case>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velmora
