// The quick reference card of the real velmora.exe: opened from the tray menu
// and by a program-command macro, paged, closed, and the page remembered.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "app/TrayIcon.h"
#include "e2e/support/Screenshot.h"
#include "e2e/support/TargetProcess.h"
#include "e2e/support/VelmoraProcess.h"
#include "platform/win32/Window.h"
#include "reference/ReferenceControls.h"
#include "support/TestVectors.h"
#include "support/WaitFor.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
namespace id = reference_id;
using namespace std::chrono_literals;
using tests::Click;
using tests::FindProcessWindow;
using tests::HotKeyMacro;
using tests::Picture;
using tests::TextOf;
using tests::TrayIconShown;
using tests::WaitFor;

constexpr const char* kCardClass = "TQuickReference";
constexpr const char* kCardCaption = "Velmora Quick Reference Card";

// "Page n of m" read back into its two numbers.
struct PageLabel {
    int page = 0;
    int count = 0;
};

std::optional<PageLabel> ReadPageLabel(const std::string& text)
{
    PageLabel label;
    char end = 0;
    if (std::sscanf(text.c_str(), "Page %d of %d%c", &label.page, &label.count, &end) != 2) {
        return std::nullopt;
    }
    return label;
}

std::shared_ptr<TMacro> Named(std::shared_ptr<TMacro> macro, std::string name)
{
    macro->Name = std::move(name);
    return macro;
}

// A macro that shows the card, on Ctrl+Alt+key.
std::shared_ptr<TMacro> CardMacro(std::int32_t macroId, const std::string& key)
{
    auto macro = HotKeyMacro(macroId, "", key);
    auto action = std::make_unique<TVelmoraMacro>();
    action->Action = static_cast<std::int32_t>(VelmoraAction::ShowQuickReference);
    macro->Settings = std::move(action);
    macro->Name = "Show the card";
    return macro;
}

// Enough macros for several pages: Ctrl+Shift+F1 to F24, then Ctrl+Alt.
TMacroList ManyMacros(int count)
{
    TMacroList list;
    for (int i = 1; i <= count; ++i) {
        const bool shift = i <= 24;
        auto macro = Named(HotKeyMacro(i, "x", "F" + std::to_string(shift ? i : i - 24), shift),
                           "Macro number " + std::to_string(i));
        list.push_back({macro->Name, macro});
    }
    return list;
}

// Counts the bands of the button-face colour down one pixel column: each
// row has its top line, and the last row its bottom line too.
int CountRowLines(const Picture& picture, int x, int top, int bottom)
{
    const COLORREF line = ::GetSysColor(COLOR_BTNFACE);
    int bands = 0;
    bool inside = false;
    for (int y = top; y < bottom; ++y) {
        const bool here = picture.Pixel(x, y) == line;
        bands += here && !inside;
        inside = here;
    }
    return bands;
}

class QuickReferenceTest : public tests::VelmoraProcessTest {
protected:
    // A program name of its own keeps the remembered page apart, and a
    // start that is not the first shows no welcome window.
    void SetUp() override
    {
        VelmoraProcessTest::SetUp();
        settingsKey = UseOwnName("velmora-card");
        SetSetting("FirstTimeRun_Checked", "False");
    }

    std::string SettingsKey() const { return settingsKey; }

    void SetSetting(const char* name, const std::string& text)
    {
        tests::SetRegistryText(SettingsKey(), name, text);
    }

    // A real right click on the tray icon, then "Quick Reference Card",
    // the second item from the top (the first is the Help submenu).
    void OpenFromTrayMenu()
    {
        ASSERT_TRUE(tests::ChooseFromTrayMenu(processId, {VK_DOWN, VK_DOWN, VK_RETURN}))
            << "the tray menu never opened";
    }

    // The card once it shows, its page label written.
    HWND WaitForCard()
    {
        HWND card = nullptr;
        WaitFor([&] {
            card = FindProcessWindow(processId, kCardClass, kCardCaption);
            return card != nullptr && ::IsWindowVisible(card) && ReadPageLabel(Label(card)).has_value();
        });
        return card;
    }

    bool WaitForCardGone(HWND card)
    {
        return WaitFor([&] { return !::IsWindow(card) && FindProcessWindow(processId, kCardClass) == nullptr; });
    }

    static std::string Label(HWND card) { return TextOf(::GetDlgItem(card, id::kPageLabel)); }
    static HWND Button(HWND card, int buttonId) { return ::GetDlgItem(card, buttonId); }

    // Clicks an arrow and waits for the label to name the page.
    static bool ClickToPage(HWND card, int buttonId, int page, int count)
    {
        Click(Button(card, buttonId));
        const std::string expected = "Page " + std::to_string(page) + " of " + std::to_string(count);
        return WaitFor([&] { return Label(card) == expected; }, 10s);
    }

    std::string settingsKey;
};

TEST_F(QuickReferenceTest, TrayMenuOpensTheCardWithEveryMacroThatHasAHotKey)
{
    auto hidden = Named(HotKeyMacro(3, "x", "H"), "Hidden macro");
    hidden->HideOnReferenceCard = true;
    auto keyless = Named(HotKeyMacro(4, "x", ""), "Macro without a key");
    tests::SaveMacros(directory, {{"a", Named(HotKeyMacro(1, "x", "F5"), "Type the greeting")},
                                    {"b", hidden},
                                    {"c", keyless},
                                    {"d", Named(HotKeyMacro(2, "x", "Page Down", true), "Type the signature")},
                                    {"e", Named(HotKeyMacro(5, "x", "F6"), "Type the address")}});
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(OpenFromTrayMenu());
    const HWND card = WaitForCard();
    ASSERT_TRUE(card) << "the card never opened";

    EXPECT_EQ(Label(card), "Page 1 of 1");
    EXPECT_FALSE(::IsWindowVisible(Button(card, id::kPrevious))) << "one page needs no arrows";
    EXPECT_FALSE(::IsWindowVisible(Button(card, id::kNext)));
    EXPECT_TRUE(::IsWindowVisible(Button(card, id::kClose)));
    EXPECT_EQ(TextOf(Button(card, id::kClose)), "&Close");
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrA(card, GWL_EXSTYLE));
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_APPWINDOW) << "a taskbar button while open";
    EXPECT_FALSE(::GetWindowLongPtrA(card, GWL_STYLE) & WS_THICKFRAME) << "the user cannot resize it";

    // Close sits in the middle.
    RECT client{};
    ::GetClientRect(card, &client);
    RECT close{};
    ::GetWindowRect(Button(card, id::kClose), &close);
    ::MapWindowPoints(nullptr, card, reinterpret_cast<POINT*>(&close), 2);
    EXPECT_LE(std::abs((close.left + close.right) - client.right), 2);

    // Three rows: three top lines and the last row's bottom line, down a
    // column right of every text, in the tooltip colour between them.
    // The card grows to its rows after it is shown, and the X server shows
    // the new strip black until it is painted: wait for the whole picture.
    Picture picture;
    const auto rowLines = [&] {
        const int x = picture.width - win32::ScaleForDpi(16) - 3;
        return CountRowLines(picture, x, win32::ScaleForDpi(48), picture.height);
    };
    const auto bottom = [&] { return picture.Pixel(picture.width / 2, picture.height - 2); };
    WaitFor([&] {
        picture = tests::CaptureClientArea(card);
        return rowLines() == 4 && bottom() == ::GetSysColor(COLOR_INFOBK);
    });
    ASSERT_EQ(rowLines(), 4) << "the rows are not drawn as three";
    EXPECT_EQ(bottom(), ::GetSysColor(COLOR_INFOBK));
    EXPECT_TRUE(tests::SaveBmp(picture, tests::ScreenshotFolder() / "quick-reference-card.bmp"));

    // Escape closes it.
    ::PostMessageA(Button(card, id::kClose), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitForCardGone(card)) << "Escape did not close the card";
    CloseAndExpectCleanExit();
}

TEST_F(QuickReferenceTest, CardWithoutMacrosSaysHowToFillIt)
{
    tests::SaveMacros(directory, {{"a", Named(HotKeyMacro(1, "x", ""), "Macro without a key")}});
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(OpenFromTrayMenu());
    const HWND card = WaitForCard();
    ASSERT_TRUE(card) << "the card never opened";
    EXPECT_EQ(Label(card), "Page 1 of 1");
    EXPECT_FALSE(::IsWindowVisible(Button(card, id::kPrevious)));
    EXPECT_FALSE(::IsWindowVisible(Button(card, id::kNext)));

    // The sentence is drawn in the tooltip's text colour in the drawing
    // area, and no row line is.
    RECT area{};
    ::GetWindowRect(::GetDlgItem(card, id::kPaintBox), &area);
    ::MapWindowPoints(nullptr, card, reinterpret_cast<POINT*>(&area), 2);
    const auto textPixels = [&area](const Picture& picture) {
        int count = 0;
        for (int y = area.top; y < std::min<int>(area.bottom, picture.height); ++y) {
            for (int x = area.left; x < std::min<int>(area.right, picture.width); ++x) {
                count += picture.Pixel(x, y) == ::GetSysColor(COLOR_INFOTEXT);
            }
        }
        return count;
    };
    Picture picture;
    ASSERT_TRUE(WaitFor([&] { return textPixels(picture = tests::CaptureClientArea(card)) > 0; }))
        << "no sentence on the empty card";
    RECT close{};
    ::GetWindowRect(Button(card, id::kClose), &close);
    ::MapWindowPoints(nullptr, card, reinterpret_cast<POINT*>(&close), 2);
    EXPECT_EQ(CountRowLines(picture, picture.width / 2, win32::ScaleForDpi(48), close.top), 0);
    EXPECT_TRUE(tests::SaveBmp(picture, tests::ScreenshotFolder() / "quick-reference-card-empty.bmp"));
    Click(Button(card, id::kClose));
    EXPECT_TRUE(WaitForCardGone(card));
    CloseAndExpectCleanExit();
}

TEST_F(QuickReferenceTest, ProgramCommandMacroOpensTheCardAndAgainOnlyBringsItToTheFront)
{
    if (tests::HotKeyTaken('Q')) {
        GTEST_SKIP() << "another program holds Ctrl+Alt+Q";
    }
    tests::SaveMacros(directory, {{"a", CardMacro(1, "Q")}, {"b", Named(HotKeyMacro(2, "x", "F7"), "Other")}});
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_TRUE(WaitFor([] { return tests::HotKeyTaken('Q'); })) << "the hot key was not registered";

    // The user presses the keys in another program. They come from the X
    // server: Wine lets go of keys only it holds whenever a window shows
    // under the pointer or takes the focus, as the tray and the card do.
    ASSERT_NO_FATAL_FAILURE(OpenTarget());
    ASSERT_TRUE(tests::PressOnTheXServer("ctrl+alt+q"));
    const HWND card = WaitForCard();
    ASSERT_TRUE(card) << "the macro did not open the card";
    EXPECT_EQ(Label(card), "Page 1 of 1");

    // A second request brings the same card forward; there is never a second.
    ASSERT_TRUE(target->Focus());
    ASSERT_TRUE(tests::PressOnTheXServer("ctrl+alt+q"));
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == card; })) << "the card did not come forward";
    ASSERT_TRUE(Settle());
    EXPECT_EQ(WaitForCard(), card);
    EXPECT_EQ(tests::ProcessWindows(processId, kCardClass).size(), 1u);

    // Enter presses Close, the default button.
    ::PostMessageA(Button(card, id::kClose), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitForCardGone(card)) << "Enter did not close the card";
    EXPECT_TRUE(Running());
    CloseAndExpectCleanExit();
}

TEST_F(QuickReferenceTest, PagingAndTheRememberedPage)
{
    tests::SaveMacros(directory, ManyMacros(40));
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(OpenFromTrayMenu());
    HWND card = WaitForCard();
    ASSERT_TRUE(card);
    const std::optional<PageLabel> first = ReadPageLabel(Label(card));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->page, 1);
    const int count = first->count;
    ASSERT_GE(count, 2) << "40 rows fit on one page";
    const HWND previous = Button(card, id::kPrevious);
    const HWND next = Button(card, id::kNext);
    EXPECT_TRUE(::IsWindowVisible(previous));
    EXPECT_TRUE(::IsWindowVisible(next));
    EXPECT_FALSE(::IsWindowEnabled(previous)) << "nothing before page 1";
    EXPECT_TRUE(::IsWindowEnabled(next));

    for (int page = 2; page <= count; ++page) {
        ASSERT_TRUE(ClickToPage(card, id::kNext, page, count)) << Label(card);
        EXPECT_TRUE(::IsWindowEnabled(previous));
        EXPECT_EQ(::IsWindowEnabled(next) != FALSE, page < count) << "page " << page;
    }
    ASSERT_TRUE(ClickToPage(card, id::kPrevious, count - 1, count)) << Label(card);
    EXPECT_TRUE(::IsWindowEnabled(next));
    for (int page = count - 2; page >= 2; --page) {
        ASSERT_TRUE(ClickToPage(card, id::kPrevious, page, count)) << Label(card);
    }
    const std::string pageTwo = "Page 2 of " + std::to_string(count);
    ASSERT_EQ(Label(card), pageTwo);
    const Picture picture = tests::CaptureClientArea(card);
    EXPECT_TRUE(tests::SaveBmp(picture, tests::ScreenshotFolder() / "quick-reference-card-page-2.bmp"));

    // Closed on page 2, it opens on page 2 again.
    Click(Button(card, id::kClose));
    ASSERT_TRUE(WaitForCardGone(card));
    ASSERT_NO_FATAL_FAILURE(OpenFromTrayMenu());
    card = WaitForCard();
    ASSERT_TRUE(card);
    EXPECT_EQ(Label(card), pageTwo);
    Click(Button(card, id::kClose));
    ASSERT_TRUE(WaitForCardGone(card));

    // The page outlives the program, in the registry.
    CloseAndExpectCleanExit();
    EXPECT_EQ(tests::RegistryText(SettingsKey(), "ReferencePage_Caption"), "2");
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(OpenFromTrayMenu());
    card = WaitForCard();
    ASSERT_TRUE(card);
    EXPECT_EQ(Label(card), pageTwo);
    CloseAndExpectCleanExit();
}

TEST_F(QuickReferenceTest, RememberedPageBelowOneOrPastTheEndStartsAtPageOne)
{
    tests::SaveMacros(directory, ManyMacros(40));
    for (const char* stored : {"-3", "99"}) {
        SCOPED_TRACE(stored);
        SetSetting("ReferencePage_Caption", stored);
        ASSERT_NO_FATAL_FAILURE(StartReady());
        ASSERT_NO_FATAL_FAILURE(OpenFromTrayMenu());
        const HWND card = WaitForCard();
        ASSERT_TRUE(card);
        const std::optional<PageLabel> label = ReadPageLabel(Label(card));
        ASSERT_TRUE(label);
        EXPECT_EQ(label->page, 1);
        EXPECT_FALSE(::IsWindowEnabled(Button(card, id::kPrevious)));
        Click(Button(card, id::kClose));
        ASSERT_TRUE(WaitForCardGone(card));
        CloseAndExpectCleanExit();
        EXPECT_EQ(tests::RegistryText(SettingsKey(), "ReferencePage_Caption"), "1");
    }
}

}  // namespace
}  // namespace velmora
