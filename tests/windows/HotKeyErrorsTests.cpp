// The window that lists refused hot keys, driven from inside its modal loop.

#include <gtest/gtest.h>

#include "app/frmHotKeyErrors.h"
#include "platform/win32/Win32CodePage.h"
#include "windows/WindowTestSupport.h"

namespace velmora {
namespace {

using tests::Driver;

HWND FindErrorsWindow()
{
    return ::FindWindowA(THotKeyErrors::kClassName, "Hot Keys Not Available");
}

TEST(HotKeyErrors, ListsTheLinesInOrderAndClosesOnEnterOrEscape)
{
    const std::vector<std::string> lines = {"[Ctrl + Alt + F5] New macro. - taken by another program",
                                            "[Ctrl + A] Duplicate - also used by \"New macro.\"", "[B] Another"};
    win32::Win32CodePage codePage;
    for (const WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
        Driver driver;
        HWND window = nullptr;
        std::vector<std::string> listed;
        std::string label;
        RECT client{};
        std::vector<LONG> iconWidths;
        driver.Post([&] {
            window = FindErrorsWindow();
            ASSERT_NE(window, nullptr);
            ::GetClientRect(window, &client);
            for (const WPARAM type : {WPARAM{ICON_BIG}, WPARAM{ICON_SMALL}}) {
                ICONINFO info{};
                BITMAP bitmap{};
                if (::GetIconInfo(reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, type, 0)), &info)) {
                    ::GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
                    ::DeleteObject(info.hbmColor);
                    ::DeleteObject(info.hbmMask);
                }
                iconWidths.push_back(bitmap.bmWidth);
            }
            for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
                char name[32] = {};
                ::GetClassNameA(child, name, sizeof name);
                if (std::string(name) == "ListBox") {
                    const auto count = ::SendMessageA(child, LB_GETCOUNT, 0, 0);
                    for (LRESULT i = 0; i < count; ++i) {
                        char line[256] = {};
                        ::SendMessageA(child, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line));
                        listed.emplace_back(line);
                    }
                } else if (std::string(name) == "Static") {
                    label = tests::TextOf(child);
                }
            }
            // The OK button has the focus: Enter presses it, Esc cancels.
            ::PostMessageA(::GetFocus(), WM_KEYDOWN, key, 0);
        });
        THotKeyErrors::ShowHotKeyErrors(driver.Handle(), lines, codePage);

        ASSERT_NE(window, nullptr);
        EXPECT_EQ(listed, lines) << "in registration order, not sorted";
        EXPECT_EQ(label,
                  "These hot keys could not be set up, for the reason given on each line. Choose other keys for "
                  "those macros in the options.");
        EXPECT_EQ(client.right, win32::ScaleForDpi(329));
        EXPECT_EQ(client.bottom, win32::ScaleForDpi(265));
        // Its own icon in the title bar and Alt+Tab, not the system's default.
        EXPECT_EQ(iconWidths, (std::vector<LONG>{::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CXSMICON)}));
        EXPECT_FALSE(::IsWindow(window)) << "freed when closed";
        EXPECT_TRUE(::IsWindowEnabled(driver.Handle())) << "the owner works again";
    }
}

}  // namespace
}  // namespace velmora
