// Macros for some programs only, in the real velmora.exe: one hot key types
// what the macro of the program in front says, as the user switches between
// Wine's notepad and wordpad, and a hot key no macro claims for the program
// in front reaches it as the plain key it is.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "e2e/support/VelmoraProcess.h"
#include "support/WaitFor.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using tests::TargetProcess;

const char* const kWordpad = "\"C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe\"";

// A macro on the modifiers and key that types text, only in those programs.
std::shared_ptr<TMacro> ForPrograms(std::int32_t id, std::string text, bool ctrl, std::string onlyIn)
{
    auto macro = tests::TextMacro(id, std::move(text), 0);
    macro->RunAnother = false;
    macro->HotKeyCtrl = ctrl;
    macro->HotKeyShift = true;
    macro->HotKey = "K";
    macro->OnlyIn = std::move(onlyIn);
    return macro;
}

class ProgramListTest : public tests::VelmoraProcessTest {
protected:
    static std::string InFront()
    {
        char name[256] = {};
        const HWND window = ::GetForegroundWindow();
        ::GetClassNameA(window, name, sizeof name);
        GUITHREADINFO info{.cbSize = sizeof(GUITHREADINFO)};
        char focus[256] = {};
        if (::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) {
            ::GetClassNameA(info.hwndFocus, focus, sizeof focus);
        }
        return std::string(name) + " / " + focus;
    }

    std::unique_ptr<TargetProcess> m_notepad;
    std::unique_ptr<TargetProcess> m_wordpad;

    void TearDown() override
    {
        // The editors go before the fixture's own end, as they came after its start.
        m_wordpad.reset();
        m_notepad.reset();
        VelmoraProcessTest::TearDown();
    }

    void StartWithBothEditors()
    {
        StartReady();
        m_notepad = std::make_unique<TargetProcess>("notepad.exe", "Notepad", "Edit");
        m_wordpad = std::make_unique<TargetProcess>(kWordpad, "WORDPADTOP", "RichEdit20W");
        // The window manager may hand the focus to the editor started last a
        // while after it showed, over a switch made meanwhile.
        ASSERT_TRUE(m_wordpad->Focus());
    }

    // Switches to the editor as the user does, then presses the keys there.
    static void PressIn(TargetProcess& editor, const std::string& keys)
    {
        ASSERT_TRUE(editor.Focus()) << "the editor never got the focus; in front: " << InFront();
        ASSERT_TRUE(tests::PressOnTheXServer(keys));
    }

    // The text stays as it is for a while: nothing more is on its way.
    static void ExpectStays(const TargetProcess& editor, const std::wstring& text)
    {
        EXPECT_FALSE(tests::WaitFor([&] { return editor.WideText() != text; }, 1500ms))
            << ::testing::PrintToString(editor.WideText());
    }
};

TEST_F(ProgramListTest, OneHotKeyTypesTheMacroOfTheProgramInFront)
{
    tests::SaveMacros(directory, {
                                     {"a", ForPrograms(1, "in notepad", true, "NOTEPAD.EXE")},
                                     {"b", ForPrograms(2, "in wordpad", true, "calc.exe; wordpad.exe")},
                                 });
    ASSERT_NO_FATAL_FAILURE(StartWithBothEditors());
    TargetProcess& notepad = *m_notepad;
    TargetProcess& wordpad = *m_wordpad;

    PressIn(notepad, "ctrl+shift+k");
    EXPECT_EQ(notepad.WaitForWideText(L"in notepad"), L"in notepad");
    PressIn(wordpad, "ctrl+shift+k");
    EXPECT_EQ(wordpad.WaitForWideText(L"in wordpad"), L"in wordpad");
    PressIn(notepad, "ctrl+shift+k");
    EXPECT_EQ(notepad.WaitForWideText(L"in notepadin notepad"), L"in notepadin notepad");
    ExpectStays(wordpad, L"in wordpad");
    CloseAndExpectCleanExit();
}

TEST_F(ProgramListTest, AHotKeyForAnotherProgramReachesTheEditorAsAPlainKey)
{
    tests::SaveMacros(directory, {{"w", ForPrograms(1, "from velmora", false, "wordpad.exe")}});
    ASSERT_NO_FATAL_FAILURE(StartWithBothEditors());
    TargetProcess& notepad = *m_notepad;
    TargetProcess& wordpad = *m_wordpad;

    PressIn(notepad, "shift+k");
    EXPECT_EQ(notepad.WaitForWideText(L"K"), L"K");
    ExpectStays(notepad, L"K");
    // The macro itself works, where its program is in front.
    PressIn(wordpad, "shift+k");
    EXPECT_EQ(wordpad.WaitForWideText(L"from velmora"), L"from velmora");
    PressIn(notepad, "shift+k");
    EXPECT_EQ(notepad.WaitForWideText(L"KK"), L"KK");
    CloseAndExpectCleanExit();
}

}  // namespace
}  // namespace velmora
