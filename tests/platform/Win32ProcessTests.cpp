// What keeps the process locked down and starting on older Windows: where its
// DLLs come from, the DPI calls looked up at run time, and whom a window
// handle left in the shared block belongs to.

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Dpi.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ProcessIdentity.h"
#include "platform/win32/SystemLibrary.h"

#include <mmsystem.h>
#include <sddl.h>

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
    HMODULE module = nullptr;
    ASSERT_TRUE(::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, L"winmm.dll", &module));
    wchar_t loaded[MAX_PATH] = {};
    wchar_t system[MAX_PATH] = {};
    ::GetModuleFileNameW(module, loaded, MAX_PATH);
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(::CompareStringOrdinal(loaded, static_cast<int>(length), system, static_cast<int>(length), TRUE),
              CSTR_EQUAL);

    EXPECT_EQ(winmm.Get<void WINAPI()>("NoSuchFunction"), nullptr);
    SystemLibrary missing(L"velmora-no-such.dll");
    EXPECT_EQ(missing.Get<void WINAPI()>("Anything"), nullptr);
    EXPECT_EQ((SystemFunction<void WINAPI()>(L"user32.dll", "NoSuchFunction")), nullptr);
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

TEST(ProcessIdentityTest, TheBlockIsNamedForTheUserAndAdmitsTheUserAlone)
{
    const std::string user = UserSidOf(::GetCurrentProcess());
    ASSERT_EQ(user.rfind("S-1-", 0), 0u) << user;
    EXPECT_EQ(UserObjectName("Velmora1(ipc)"), "Velmora1(ipc) " + user);

    const UniqueLocal descriptor = UserOnlySecurityDescriptor();
    ASSERT_TRUE(descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(::GetSecurityDescriptorControl(descriptor.Get(), &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << "nothing inherited";
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    ACL* dacl = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(descriptor.Get(), &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl != nullptr);
    ASSERT_EQ(dacl->AceCount, 1);
    void* ace = nullptr;
    ASSERT_TRUE(::GetAce(dacl, 0, &ace));
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    char* sid = nullptr;
    ASSERT_TRUE(::ConvertSidToStringSidA(const_cast<DWORD*>(&allowed->SidStart), &sid));
    const UniqueLocal ownedSid(sid);
    EXPECT_EQ(std::string(sid), user);
}

}  // namespace
}  // namespace velmora::win32
