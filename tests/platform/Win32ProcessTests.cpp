// What keeps the process locked down and starting on older Windows: where its
// DLLs come from, the DPI calls looked up at run time, and whom a window
// handle left in the shared block belongs to.

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Dpi.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ProcessIdentity.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32ForegroundWatch.h"

#include <mmsystem.h>

namespace velmora::win32 {
namespace {

UniqueWindow PlainWindow()
{
    return UniqueWindow(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
}

TEST(SystemLibraryTest, LoadsFromSystem32Only)
{
    SystemLibrary winmm(L"winmm.dll");
    ASSERT_NE(winmm.Get<MCIERROR WINAPI(LPCSTR, LPSTR, UINT, HWND)>("mciSendStringA"), nullptr);
    wchar_t loaded[MAX_PATH] = {};
    wchar_t system[MAX_PATH] = {};
    ::GetModuleFileNameW(::GetModuleHandleW(L"winmm.dll"), loaded, MAX_PATH);
    const int length = static_cast<int>(::GetSystemDirectoryW(system, MAX_PATH));
    EXPECT_EQ(::CompareStringOrdinal(loaded, length, system, length, TRUE), CSTR_EQUAL);
    EXPECT_EQ(SystemLibrary(L"velmora-no-such.dll").Get<void WINAPI()>("Anything"), nullptr);
}

// Windows before 10 version 1607 lacks the DPI calls: the system DPI stands in.
TEST(DpiTest, FallbacksGiveTheSystemDpiAndScaledMetrics)
{
    const DpiFunctions missing{};
    const UINT system = SystemDpi();
    const int small = ::GetSystemMetrics(SM_CXSMICON);
    struct Case {
        UINT dpi;
        int expected;
    };
    for (const Case& c : {Case{system, small}, Case{system * 2, small * 2}, Case{system * 3 / 2, small * 3 / 2}}) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(SystemMetricForDpi(SM_CXSMICON, c.dpi, missing), c.expected);
    }
    const UniqueWindow window = PlainWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(WindowDpi(window.Get(), missing), system);
    EXPECT_EQ(WindowDpi(nullptr), system) << "no window, no DPI of its own";
    // Where the calls exist they agree, on a single screen at the system DPI.
    EXPECT_EQ(WindowDpi(window.Get()), system);
    EXPECT_EQ(SystemMetricForDpi(SM_CXSMICON, system), small);
}

TEST(ProcessIdentityTest, OnlyAWindowOfThisProgramAndUserIsTrusted)
{
    const UniqueWindow own = PlainWindow();
    UniqueWindow closed = PlainWindow();
    const HWND gone = closed.Get();
    closed.Reset();
    DWORD desktopProcess = 0;
    ::GetWindowThreadProcessId(::GetDesktopWindow(), &desktopProcess);
    ASSERT_NE(desktopProcess, 0u);
    ASSERT_NE(desktopProcess, ::GetCurrentProcessId()) << "the desktop must belong to another program";
    struct Case {
        const char* name;
        HWND window;
        bool trusted;
    };
    for (const Case& c : {Case{"this program's", own.Get(), true}, Case{"another program's", ::GetDesktopWindow(), false},
                          Case{"none", nullptr, false}, Case{"one that is gone", gone, false}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RunsThisProgramForThisUser(c.window), c.trusted);
    }
}

// The name alone, as the program lists match it; nothing for no window.
TEST(ProcessIdentityTest, AWindowNamesTheFileNameOfItsProgram)
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring own(path);
    const std::wstring ownName = own.substr(own.find_last_of(L'\\') + 1);

    UniqueWindow window = PlainWindow();
    ASSERT_TRUE(window);
    const std::u16string named = ProgramOfWindow(window.Get());
    EXPECT_EQ(std::wstring(named.begin(), named.end()), ownName);
    const HWND gone = window.Get();
    window.Reset();
    EXPECT_EQ(ProgramOfWindow(gone), u"");
    EXPECT_EQ(ProgramOfWindow(nullptr), u"");
}

TEST(ProcessIdentityTest, TheBlockIsNamedForTheUser)
{
    const std::string user = UserSidOf(::GetCurrentProcess());
    ASSERT_EQ(user.rfind("S-1-", 0), 0u) << user;
    EXPECT_EQ(UserObjectName("Velmora1(ipc)"), "Velmora1(ipc) " + user);
    EXPECT_TRUE(UserOnlySecurityDescriptor());
}

}  // namespace
}  // namespace velmora::win32
