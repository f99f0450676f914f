// The real velmora.exe, started without elevation as Windows starts it for
// an administrator, and Wine's notepad, elevated as every Wine process is.
// Windows would keep the keys out of the editor, so the text goes to the
// clipboard instead; Wine would let them in, so this checks what the program
// decided.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "e2e/support/VelmoraProcess.h"
#include "support/WaitFor.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

struct Case {
    const char* name;
    bool limited;
    bool toClipboard;
    std::wstring typed;
};

class ElevationTest : public tests::VelmoraProcessTest, public ::testing::WithParamInterface<Case> {};

TEST_P(ElevationTest, HotKeyTypesOnlyWhereWindowsLetsItType)
{
    const Case& c = GetParam();
    const std::wstring text = L"caf\u00E9 ok";
    tests::SaveMacros(directory, {{"x", tests::HotKeyMacro(1, "caf\xE9 ok", "K", /*shift=*/true)}});
    limited = c.limited;
    StartReady();
    ASSERT_EQ(tests::Elevated(processId), !c.limited) << "the program's token is not the one asked for";
    ASSERT_TRUE(tests::PutOnClipboard({{CF_TEXT, std::string("before", 7)}}));

    tests::TargetProcess notepad("notepad.exe", "Notepad", "Edit");
    DWORD notepadId = 0;
    ::GetWindowThreadProcessId(notepad.Window(), &notepadId);
    ASSERT_EQ(tests::Elevated(notepadId), true) << "Wine starts every process elevated";
    ASSERT_TRUE(notepad.Focus());
    ASSERT_TRUE(tests::PressOnTheXServer("ctrl+shift+k"));

    const std::string unicode(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
    const auto onClipboard = [&] {
        return tests::ClipboardBytes(CF_UNICODETEXT).value_or("").substr(0, unicode.size()) == unicode;
    };
    // The editor first: reading the clipboard while a character is lent out
    // for a paste would count as the paste.
    EXPECT_EQ(notepad.WaitForWideText(c.typed), c.typed);
    EXPECT_FALSE(tests::WaitFor([&] { return notepad.WideText() != c.typed; }, 2s))
        << "notepad holds: " << ::testing::PrintToString(notepad.WideText());
    EXPECT_TRUE(tests::WaitFor([&] { return onClipboard() == c.toClipboard; }, 10s));
    if (c.toClipboard) {
        EXPECT_EQ(tests::ClipboardBytes(CF_TEXT).value_or("").substr(0, 8), std::string("caf\xE9 ok", 8));
    }
    CloseAndExpectCleanExit();
}

INSTANTIATE_TEST_SUITE_P(Cases, ElevationTest,
                         ::testing::Values(Case{"NotElevatedGivesTheTextOnTheClipboard", true, true, L""},
                                           Case{"ElevatedTypesIt", false, false, L"caf\u00E9 ok"}),
                         [](const ::testing::TestParamInfo<Case>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velmora
