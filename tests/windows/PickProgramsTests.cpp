// The program picker over the real process list, driven from inside its modal loop.

#include "options/frmPickPrograms.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32/Win32CodePage.h"
#include "windows/WindowTestSupport.h"

namespace velmora {
namespace {

TEST(PickPrograms, TicksThisTestProgramAmongTheRunningOnesAndGivesItBackOnOkAndNothingOnCancel)
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::u16string self = std::filesystem::path(path).filename().u16string();
    win32::Win32CodePage codePage;
    tests::Driver driver;
    for (const int button : {IDOK, IDCANCEL}) {
        driver.Post([&] {
            const HWND picker = ::FindWindowA(TPickPrograms::kClassName, TPickPrograms::kCaption);
            const HWND list = ::GetDlgItem(picker, pick_programs_id::kPrograms);
            const auto row = ::SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(self.c_str()));
            ::SendMessageW(list, LB_SETSEL, TRUE, row);
            ::PostMessageW(picker, WM_COMMAND, static_cast<WPARAM>(button), 0);
        });
        EXPECT_EQ(TPickPrograms::AskPrograms(driver.Handle(), codePage),
                  button == IDOK ? std::vector<std::u16string>{self} : std::vector<std::u16string>{});
    }
}

}  // namespace
}  // namespace velmora
