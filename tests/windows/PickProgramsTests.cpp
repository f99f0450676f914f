// The program picker over the real process list, driven from inside its modal loop.

#include "options/frmPickPrograms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Collation.h"
#include "platform/win32/Win32CodePage.h"
#include "windows/WindowTestSupport.h"

namespace velmora {
namespace {

// Once the picker is up: ticks this test program, notes what the list
// offers into `listed`, and closes with `button`.
void PickThisProgram(tests::Driver& driver, const std::u16string& self, int button,
                     std::vector<std::u16string>& listed)
{
    driver.Post([self, button, &listed] {
        const HWND picker = ::FindWindowA(TPickPrograms::kClassName, TPickPrograms::kCaption);
        const HWND list = ::GetDlgItem(picker, pick_programs_id::kPrograms);
        const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::u16string name(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0)) + 1, u'\0');
            const auto length = ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                               reinterpret_cast<LPARAM>(name.data()));
            name.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
            if (name == self) {
                ::SendMessageW(list, LB_SETSEL, TRUE, i);
            }
            listed.push_back(std::move(name));
        }
        ::PostMessageW(picker, WM_COMMAND, static_cast<WPARAM>(button), 0);
    });
}

TEST(PickPrograms, OffersTheRunningProgramsOnceEachAndGivesBackTheTickedOnesOnOk)
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::u16string self = std::filesystem::path(path).filename().u16string();
    win32::Win32CodePage codePage;
    tests::Driver driver;

    std::vector<std::u16string> listed;
    PickThisProgram(driver, self, IDOK, listed);
    EXPECT_EQ(TPickPrograms::AskPrograms(driver.Handle(), codePage), std::vector<std::u16string>{self});
    EXPECT_EQ(std::count(listed.begin(), listed.end(), self), 1) << "the test program runs once";
    EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end(), [](const auto& a, const auto& b) {
        return CompareIgnoringAsciiCase(a, b) < 0;
    }));

    PickThisProgram(driver, self, IDCANCEL, listed);
    EXPECT_TRUE(TPickPrograms::AskPrograms(driver.Handle(), codePage).empty()) << "Cancel adds nothing";
}

}  // namespace
}  // namespace velmora
