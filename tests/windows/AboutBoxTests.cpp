#include "app/frmAbout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Version.h"
#include "app/frmFirstTime.h"
#include "windows/WindowTestSupport.h"

namespace velmora {
namespace {

using tests::Driver;
using tests::PumpWaitingMessages;
using tests::TextOf;

std::vector<std::string> ChildTexts(HWND window)
{
    std::vector<std::string> texts;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        texts.push_back(TextOf(child));
    }
    return texts;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text)
{
    for (const std::string& each : texts) {
        if (each.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

void PressOk(HWND box)
{
    ::SendMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

TEST(AboutBox, ShowsVersionLinkNoticeAndClosesOnOk)
{
    Driver driver;
    HWND seen = nullptr;
    std::vector<std::string> texts;
    bool ownerDisabled = false;
    driver.Post([&] {
        seen = AboutBoxHandle();
        ASSERT_NE(seen, nullptr);
        texts = ChildTexts(seen);
        ownerDisabled = !::IsWindowEnabled(driver.Handle());
        PressOk(seen);
    });
    ShowAboutBox(driver.Handle());

    ASSERT_NE(seen, nullptr);
    EXPECT_TRUE(Contains(texts, "Version " VELMORA_VERSION_TEXT));
    EXPECT_TRUE(Contains(texts, "brackwell.example"));
    EXPECT_TRUE(Contains(texts, "Brackwell, Inc."));
    EXPECT_TRUE(Contains(texts, "OK"));
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(::IsWindowEnabled(driver.Handle()));
    EXPECT_FALSE(::IsWindow(seen));
    EXPECT_EQ(AboutBoxHandle(), nullptr);
}

TEST(AboutBox, LinkIsASysLinkTheKeyboardReaches)
{
    Driver driver;
    LONG_PTR linkStyle = 0;
    std::string linkClass;
    driver.Post([&] {
        const HWND box = AboutBoxHandle();
        for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (TextOf(child).find("brackwell.example") != std::string::npos) {
                linkStyle = ::GetWindowLongPtrA(child, GWL_STYLE);
                char name[32]{};
                ::GetClassNameA(child, name, sizeof name);
                linkClass = name;
            }
        }
        PressOk(box);
    });
    ShowAboutBox(nullptr);
    EXPECT_EQ(linkClass, "SysLink");
    EXPECT_NE(linkStyle & WS_TABSTOP, 0);
}

TEST(AboutBox, SecondRequestKeepsTheOneBox)
{
    Driver driver;
    HWND first = nullptr;
    HWND afterSecond = nullptr;
    int boxes = 0;
    driver.Post([&] {
        first = AboutBoxHandle();
        ShowAboutBox(nullptr);  // returns at once while one is open
        afterSecond = AboutBoxHandle();
        for (HWND top = ::FindWindowA("TAbout", nullptr); top != nullptr;
             top = ::FindWindowExA(nullptr, top, "TAbout", nullptr)) {
            ++boxes;
        }
        PressOk(first);
    });
    ShowAboutBox(nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(afterSecond, first);
    EXPECT_EQ(boxes, 1);
}

TEST(AboutBox, OpeningClosesTheWelcomeWindow)
{
    WelcomeWindowSlot slot;
    slot.Show({});
    const HWND welcome = WelcomeWindowHandle();
    ASSERT_NE(welcome, nullptr);
    Driver driver;
    bool welcomeOpenDuringAbout = true;
    driver.Post([&] {
        welcomeOpenDuringAbout = ::IsWindow(welcome) != FALSE;
        PressOk(AboutBoxHandle());
    });
    ShowAboutBox(nullptr);
    EXPECT_FALSE(welcomeOpenDuringAbout);
    EXPECT_EQ(WelcomeWindowHandle(), nullptr);
    PumpWaitingMessages();
}

}  // namespace
}  // namespace velmora
