#include "app/frmFirstTime.h"

#include <gtest/gtest.h>

#include "windows/WindowTestSupport.h"

namespace velmora {
namespace {

using tests::PumpWaitingMessages;
using tests::TextOf;

class WelcomeWindow : public ::testing::Test {
protected:
    void TearDown() override
    {
        CloseWelcomeWindow();
        PumpWaitingMessages();
    }

    HWND Show()
    {
        slot.Show([this] {
            ++created;
            windowExistedAtCreate = ::IsWindow(WelcomeWindowHandle()) != FALSE;
        });
        return WelcomeWindowHandle();
    }

    WelcomeWindowSlot slot;
    int created = 0;
    bool windowExistedAtCreate = false;
};

TEST_F(WelcomeWindow, ShowsCaptionSizeAndButton)
{
    const HWND window = Show();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::FindWindowA("TFirstTime", "Welcome to Velmora"), window);
    EXPECT_TRUE(::IsWindowVisible(window));
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, win32::ScaleForDpi(505));
    EXPECT_EQ(client.bottom, win32::ScaleForDpi(277));
    EXPECT_EQ(::GetWindowLongPtrA(window, GWL_STYLE) & WS_THICKFRAME, 0);

    const HWND button = ::GetDlgItem(window, IDOK);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(TextOf(button), "OK");
    EXPECT_EQ(::GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    RECT place{};
    ::GetWindowRect(button, &place);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, win32::ScaleForDpi(416));
    EXPECT_EQ(place.top, win32::ScaleForDpi(16));
    EXPECT_EQ(place.right - place.left, win32::ScaleForDpi(75));
}

TEST_F(WelcomeWindow, CallsOnCreateOnceWithTheWindowInPlace)
{
    Show();
    EXPECT_EQ(created, 1);
    EXPECT_TRUE(windowExistedAtCreate);
}

TEST_F(WelcomeWindow, SecondShowWhileOpenKeepsTheOneWindow)
{
    const HWND first = Show();
    const HWND second = Show();
    EXPECT_EQ(first, second);
    EXPECT_EQ(created, 1);
}

TEST_F(WelcomeWindow, CloseBoxFreesItAndCloseAfterwardsDoesNothing)
{
    const HWND window = Show();
    ::SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(WelcomeWindowHandle(), nullptr);
    CloseWelcomeWindow();
    EXPECT_EQ(WelcomeWindowHandle(), nullptr);
    // Forgotten, so a new one can be made.
    EXPECT_NE(Show(), nullptr);
    EXPECT_EQ(created, 2);
}

TEST_F(WelcomeWindow, OkButtonCloses)
{
    const HWND window = Show();
    ::SendMessageA(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
    PumpWaitingMessages();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(WelcomeWindowHandle(), nullptr);
}

TEST_F(WelcomeWindow, EnterAndEscapeCloseWhereverTheFocusIs)
{
    for (const WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
        for (const bool onButton : {true, false}) {
            const HWND window = Show();
            const HWND target = onButton ? ::GetDlgItem(window, IDOK) : window;
            ::PostMessageA(target, WM_KEYDOWN, key, 0);
            PumpWaitingMessages();
            EXPECT_FALSE(::IsWindow(window)) << "key " << key << (onButton ? " on OK" : " on the window");
        }
    }
}

TEST_F(WelcomeWindow, CloseWelcomeWindowClosesAnOpenOne)
{
    const HWND window = Show();
    CloseWelcomeWindow();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(WelcomeWindowHandle(), nullptr);
}

TEST_F(WelcomeWindow, PaintsPictureAndPanel)
{
    const HWND window = Show();
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const HDC dc = ::GetDC(window);
    ASSERT_NE(dc, nullptr);
    const COLORREF edge = ::GetPixel(dc, win32::ScaleForDpi(78), win32::ScaleForDpi(80));
    const COLORREF panel = ::GetPixel(dc, win32::ScaleForDpi(85), win32::ScaleForDpi(250));
    const COLORREF background = ::GetPixel(dc, win32::ScaleForDpi(20), win32::ScaleForDpi(150));
    ::ReleaseDC(window, dc);
    // In the system's colours, which high contrast changes.
    EXPECT_EQ(edge, ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(panel, ::GetSysColor(COLOR_WINDOW));
    // The product picture is teal there, not the dialog grey.
    EXPECT_GT(GetGValue(background), GetRValue(background) + 30);
}

}  // namespace
}  // namespace velmora
