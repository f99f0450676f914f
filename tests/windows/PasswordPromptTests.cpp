// The password prompt, driven from inside its modal loop.

#include "options/frmPassword.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "windows/WindowTestSupport.h"

namespace velmora {
namespace {

using tests::Driver;
using tests::TextOf;

HWND ChildOfClass(HWND window, const std::string& className)
{
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = {};
        ::GetClassNameA(child, name, sizeof name);
        if (className == name) {
            return child;
        }
    }
    return nullptr;
}

void TypeKeys(const std::string& text)
{
    for (const char c : text) {
        ::PostMessageA(::GetFocus(), WM_CHAR, static_cast<unsigned char>(c), 0);
    }
}

void PressKey(WPARAM key)
{
    ::PostMessageA(::GetFocus(), WM_KEYDOWN, key, 0);
}

// Runs the prompt with action inside it and checks that it is gone afterwards.
std::optional<std::string> RunPrompt(const std::function<void(HWND prompt)>& action)
{
    Driver driver;
    HWND seen = nullptr;
    bool ownerDisabled = false;
    driver.Post([&] {
        seen = PasswordPromptHandle();
        ownerDisabled = !::IsWindowEnabled(driver.Handle());
        if (seen != nullptr) {
            action(seen);
        }
    });
    std::optional<std::string> result = TPassword::ShowPasswordPrompt(driver.Handle());
    EXPECT_NE(seen, nullptr);
    EXPECT_TRUE(ownerDisabled) << "modal over its owner";
    EXPECT_FALSE(::IsWindow(seen)) << "destroyed when closed";
    EXPECT_EQ(PasswordPromptHandle(), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(driver.Handle())) << "the owner works again";
    return result;
}

TEST(PasswordPrompt, IsACentredStarredPromptWithoutTitleButtons)
{
    const std::optional<std::string> result = RunPrompt([](HWND prompt) {
        EXPECT_EQ(::FindWindowA("TPassword", "Velmora Password"), prompt);
        RECT client{};
        ::GetClientRect(prompt, &client);
        EXPECT_EQ(client.right, win32::ScaleForDpi(265));
        EXPECT_EQ(client.bottom, win32::ScaleForDpi(145));
        const LONG_PTR style = ::GetWindowLongPtrA(prompt, GWL_STYLE);
        EXPECT_NE(style & WS_CAPTION, 0);
        EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME), 0) << "no close box, fixed size";
        RECT frame{};
        ::GetWindowRect(prompt, &frame);
        EXPECT_EQ(frame.left, (::GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
        EXPECT_EQ(frame.top, (::GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);

        const HWND label = ChildOfClass(prompt, "Static");
        const std::string text = TextOf(label);
        EXPECT_EQ(text, "The area you are attempting to access is password protected. Please enter the &password:");
        RECT labelPlace{};
        ::GetClientRect(label, &labelPlace);
        RECT needed = labelPlace;
        const HDC dc = ::GetDC(label);
        const HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(label, WM_GETFONT, 0, 0)));
        ::DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK);
        ::SelectObject(dc, oldFont);
        ::ReleaseDC(label, dc);
        EXPECT_LE(needed.bottom, labelPlace.bottom) << "the wrapped text is not cut off";

        const HWND edit = ChildOfClass(prompt, "Edit");
        EXPECT_EQ(::GetFocus(), edit);
        EXPECT_EQ(::SendMessageA(edit, EM_GETPASSWORDCHAR, 0, 0), '*');
        EXPECT_EQ(TextOf(edit), "");
        const HWND ok = ::GetDlgItem(prompt, IDOK);
        EXPECT_EQ(TextOf(ok), "OK");
        EXPECT_EQ(::GetWindowLongPtrA(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        EXPECT_EQ(TextOf(::GetDlgItem(prompt, IDCANCEL)), "Cancel");
        EXPECT_EQ(::GetNextDlgTabItem(prompt, edit, FALSE), ok) << "Tab leads from the password to OK";

        ::SendMessageA(ok, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(result, std::optional<std::string>("")) << "an empty password is an answer, not a cancel";
}

TEST(PasswordPrompt, OkReturnsTheTextExactlyAsTyped)
{
    // Typed keys end with Enter; a set text with a click on OK.
    EXPECT_EQ(RunPrompt([](HWND) {
                  TypeKeys("  Open Sesame 42 ");
                  PressKey(VK_RETURN);
              }),
              std::optional<std::string>("  Open Sesame 42 "));
    EXPECT_EQ(RunPrompt([](HWND prompt) {
                  const HWND edit = ChildOfClass(prompt, "Edit");
                  EXPECT_EQ(TextOf(edit), "") << "each prompt starts empty";
                  ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(" MiXeD cAsE  "));
                  ::SendMessageA(::GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
              }),
              std::optional<std::string>(" MiXeD cAsE  "));
}

TEST(PasswordPrompt, CancelEscapeAndCloseReturnNothing)
{
    const std::function<void(HWND)> cancels[] = {
        [](HWND prompt) { ::SendMessageA(::GetDlgItem(prompt, IDCANCEL), BM_CLICK, 0, 0); },
        [](HWND) { PressKey(VK_ESCAPE); },
        [](HWND prompt) { ::PostMessageA(prompt, WM_CLOSE, 0, 0); },
    };
    for (const auto& cancel : cancels) {
        EXPECT_EQ(RunPrompt([&](HWND prompt) {
                      ::SetWindowTextA(ChildOfClass(prompt, "Edit"), "secret");
                      cancel(prompt);
                  }),
                  std::nullopt);
    }
}

TEST(PasswordPrompt, MovingToA192DpiMonitorTakesTheSuggestedFrameAndDoublesTheControls)
{
    RECT before{};
    RECT after{};
    RECT suggested{};
    int editBefore = 0;
    int editAfter = 0;
    LONG fontBefore = 0;
    LONG fontAfter = 0;
    const auto heightOf = [](HWND control) {
        RECT place{};
        ::GetWindowRect(control, &place);
        return place.bottom - place.top;
    };
    const auto fontHeightOf = [](HWND control) {
        LOGFONTA font{};
        ::GetObjectA(reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        return std::abs(font.lfHeight);
    };
    RunPrompt([&](HWND prompt) {
        const HWND edit = ChildOfClass(prompt, "Edit");
        ::GetWindowRect(prompt, &before);
        editBefore = heightOf(edit);
        fontBefore = fontHeightOf(edit);
        const UINT dpi = 2 * win32::WindowDpi(prompt);
        suggested = {before.left, before.top, before.left + 2 * (before.right - before.left),
                     before.top + 2 * (before.bottom - before.top)};
        ::SendMessageA(prompt, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        ::GetWindowRect(prompt, &after);
        editAfter = heightOf(edit);
        fontAfter = fontHeightOf(edit);
        ::SendMessageA(::GetDlgItem(prompt, IDCANCEL), BM_CLICK, 0, 0);
    });
    EXPECT_TRUE(::EqualRect(&after, &suggested) != FALSE);
    EXPECT_NEAR(editAfter, 2 * editBefore, 2);
    EXPECT_NEAR(fontAfter, 2 * fontBefore, 1) << "the message font made again for the new DPI";
}

}  // namespace
}  // namespace velmora
