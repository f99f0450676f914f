// The random-number dialog on its own, and the "Insert Variable..." menu of
// a real options window driven with keys, from inside their modal loops.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/Settings.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeRegistry.h"
#include "macros/Macro.h"
#include "options/OptionsControls.h"
#include "options/VariableMenu.h"
#include "options/frmOptions.h"
#include "options/frmRand.h"
#include "support/WaitFor.h"
#include "windows/WindowTestSupport.h"

namespace velmora {
namespace {

using tests::FindControl;
using tests::PumpWaitingMessages;

using tests::Driver;
using tests::TextOf;

std::vector<HWND> ChildrenOfClass(HWND window, const std::string& className)
{
    std::vector<HWND> found;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = {};
        ::GetClassNameA(child, name, sizeof name);
        if (::lstrcmpiA(name, className.c_str()) == 0) {
            found.push_back(child);
        }
    }
    return found;
}

HWND ChildWithText(HWND window, const std::string& className, const std::string& text)
{
    for (const HWND child : ChildrenOfClass(window, className)) {
        if (TextOf(child) == text) {
            return child;
        }
    }
    return nullptr;
}

void Click(HWND button)
{
    ::SendMessageA(button, BM_CLICK, 0, 0);
}

void SetText(HWND control, const char* text)
{
    ::SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// Runs act on the window find returns, once the running modal loop (a
// dialog's, a menu's or a message box's) has it up; gives up after a while.
void WhenShown(Driver& driver, std::function<HWND()> find, std::function<void(HWND)> act,
               std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() +
                                                                std::chrono::seconds(20))
{
    driver.Post([&driver, find = std::move(find), act = std::move(act), deadline]() mutable {
        const HWND window = find();
        if (window != nullptr && ::IsWindowVisible(window)) {
            act(window);
        } else if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "the window did not show";
        } else {
            ::Sleep(10);
            WhenShown(driver, std::move(find), std::move(act), deadline);
        }
    });
}

HWND FindRandomDialog()
{
    return ::FindWindowA(TRand::kClassName, nullptr);
}

HWND FindMessageBox()
{
    return ::FindWindowA("#32770", "Velmora");
}

std::string MessageBoxText(HWND box)
{
    std::string text;
    for (const HWND label : ChildrenOfClass(box, "Static")) {
        text += TextOf(label);
    }
    return text;
}

std::vector<HWND> VisibleButtons(HWND box)
{
    std::vector<HWND> buttons;
    for (const HWND button : ChildrenOfClass(box, "Button")) {
        if (::IsWindowVisible(button)) {
            buttons.push_back(button);
        }
    }
    return buttons;
}

// The dialog's controls, found as a user would: by their captions and order.
struct RandomDialogControls {
    HWND edit1, edit2, edit3, label3, checkBox1, ok, cancel;

    explicit RandomDialogControls(HWND dialog)
    {
        const std::vector<HWND> edits = ChildrenOfClass(dialog, "Edit");
        EXPECT_EQ(edits.size(), 3u);
        edit1 = edits.size() > 0 ? edits[0] : nullptr;
        edit2 = edits.size() > 1 ? edits[1] : nullptr;
        edit3 = edits.size() > 2 ? edits[2] : nullptr;
        label3 = ChildWithText(dialog, "Static", "&Character width:");
        checkBox1 = ChildWithText(dialog, "Button", "&Left pad with zeros");
        ok = ::GetDlgItem(dialog, IDOK);
        cancel = ::GetDlgItem(dialog, IDCANCEL);
    }
};

// Shows the dialog with action run inside it; checks it is gone afterwards.
std::optional<std::string> RunRandomDialog(bool hex, const std::function<void(HWND dialog)>& action)
{
    Driver driver;
    HWND seen = nullptr;
    bool ownerDisabled = false;
    WhenShown(driver, FindRandomDialog, [&](HWND dialog) {
        seen = dialog;
        ownerDisabled = !::IsWindowEnabled(driver.Handle());
        action(dialog);
    });
    std::optional<std::string> word = TRand::AskRandomWord(driver.Handle(), hex);
    EXPECT_NE(seen, nullptr);
    EXPECT_TRUE(ownerDisabled) << "modal over its owner";
    EXPECT_FALSE(::IsWindow(seen)) << "destroyed after each use";
    EXPECT_TRUE(::IsWindowEnabled(driver.Handle()));
    return word;
}

TEST(RandomDialog, CaptionsLayoutAndTheWidthShownOnlyWhilePadding)
{
    const std::optional<std::string> word = RunRandomDialog(false, [](HWND dialog) {
        EXPECT_EQ(TextOf(dialog), "Insert Random Number Generator");
        RECT client{};
        ::GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, win32::ScaleForDpi(345));
        EXPECT_EQ(client.bottom, win32::ScaleForDpi(145));
        const LONG_PTR style = ::GetWindowLongPtrA(dialog, GWL_STYLE);
        EXPECT_NE(style & WS_SYSMENU, 0) << "a close box";
        EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0) << "fixed, only a close box";
        RECT frame{};
        ::GetWindowRect(dialog, &frame);
        EXPECT_EQ(frame.left, (::GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
        EXPECT_EQ(frame.top, (::GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);

        const RandomDialogControls c(dialog);
        EXPECT_NE(ChildWithText(dialog, "Static", "Mi&nimum value:"), nullptr);
        EXPECT_NE(ChildWithText(dialog, "Static", "Ma&ximum value:"), nullptr);
        ASSERT_NE(c.checkBox1, nullptr);
        ASSERT_NE(c.label3, nullptr);
        EXPECT_EQ(::SendMessageA(c.checkBox1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_EQ(::GetFocus(), c.edit1);
        EXPECT_EQ(TextOf(c.ok), "OK");
        EXPECT_EQ(::GetWindowLongPtrA(c.ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        EXPECT_EQ(TextOf(c.cancel), "Cancel");

        EXPECT_FALSE(::IsWindowVisible(c.edit3));
        EXPECT_FALSE(::IsWindowVisible(c.label3));
        Click(c.checkBox1);
        EXPECT_TRUE(::IsWindowVisible(c.edit3)) << "shown once padding is checked";
        EXPECT_TRUE(::IsWindowVisible(c.label3));
        Click(c.checkBox1);
        EXPECT_FALSE(::IsWindowVisible(c.edit3)) << "hidden again when unchecked";
        EXPECT_FALSE(::IsWindowVisible(c.label3));
        Click(c.cancel);
    });
    EXPECT_EQ(word, std::nullopt);
}

TEST(RandomDialog, EveryMnemonicReachesItsControl)
{
    RunRandomDialog(false, [](HWND dialog) {
        const RandomDialogControls c(dialog);
        // Alt and the letter, as the dialog manager gets them; the check box
        // comes first, so the width it shows can be reached after it.
        const std::vector<std::pair<wchar_t, HWND>> keys{
            {L'l', c.checkBox1}, {L'c', c.edit3}, {L'n', c.edit1}, {L'x', c.edit2}};
        for (const auto& [letter, control] : keys) {
            MSG alt{.hwnd = ::GetFocus(), .message = WM_SYSCHAR, .wParam = letter, .lParam = 1 << 29};
            ::IsDialogMessageW(dialog, &alt);
            EXPECT_EQ(::GetFocus(), control) << "Alt+" << static_cast<char>(letter);
        }
        Click(c.cancel);
    });
}

TEST(RandomDialog, OkGivesTheWordOfTheNormalisedFields)
{
    EXPECT_EQ(RunRandomDialog(false,
                              [](HWND dialog) {
                                  const RandomDialogControls c(dialog);
                                  SetText(c.edit1, "1");
                                  SetText(c.edit2, "6");
                                  SetText(c.edit3, "3");
                                  ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
                              }),
              std::optional<std::string>("Rand 1,6"))
        << "Enter presses OK; a hidden width is left out";
    EXPECT_EQ(RunRandomDialog(false,
                              [](HWND dialog) {
                                  const RandomDialogControls c(dialog);
                                  SetText(c.edit1, "abc");
                                  SetText(c.edit2, "5");
                                  Click(c.ok);
                              }),
              std::optional<std::string>("Rand 0,5"));
    EXPECT_EQ(RunRandomDialog(true,
                              [](HWND dialog) {
                                  const RandomDialogControls c(dialog);
                                  SetText(c.edit1, "$10");
                                  SetText(c.edit2, "4000");
                                  Click(c.checkBox1);
                                  SetText(c.edit3, "two");
                                  Click(c.ok);
                              }),
              std::optional<std::string>("RandHex 16,4000,0"))
        << "a width that is not a number becomes 0";
}

TEST(RandomDialog, MinimumAboveMaximumIsRefusedAndTheDialogStaysWithNormalisedValues)
{
    std::string message;
    std::size_t buttons = 0;
    bool stayedOpen = false;
    std::string shownMinimum, shownMaximum, shownWidth;
    const std::optional<std::string> word = RunRandomDialog(false, [&](HWND dialog) {
        const RandomDialogControls c(dialog);
        SetText(c.edit1, "+7");
        SetText(c.edit2, "3");
        SetText(c.edit3, "wide");
        Driver boxDriver;
        WhenShown(boxDriver, FindMessageBox, [&](HWND box) {
            message = MessageBoxText(box);
            buttons = VisibleButtons(box).size();
            EXPECT_EQ(::GetWindow(box, GW_OWNER), dialog);
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        Click(c.ok);  // returns once the message box is answered
        stayedOpen = ::IsWindowVisible(dialog) != FALSE;
        shownMinimum = TextOf(c.edit1);
        shownMaximum = TextOf(c.edit2);
        shownWidth = TextOf(c.edit3);
        // Fixed, it is accepted; equal bounds are fine.
        SetText(c.edit2, "7");
        Click(c.ok);
    });
    EXPECT_EQ(message, "You have set a minimum value that is higher than the maximum value which is not allowed.");
    EXPECT_EQ(buttons, 1u) << "one OK button";
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(shownMinimum, "7");
    EXPECT_EQ(shownMaximum, "3");
    EXPECT_EQ(shownWidth, "0") << "normalised while hidden too";
    EXPECT_EQ(word, std::optional<std::string>("Rand 7,7"));
}

TEST(RandomDialog, CancelEscapeAndTheCloseBoxGiveNothing)
{
    const std::function<void(HWND)> cancels[] = {
        [](HWND dialog) { Click(::GetDlgItem(dialog, IDCANCEL)); },
        [](HWND) { ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); },
        [](HWND dialog) { ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (const auto& cancel : cancels) {
        EXPECT_EQ(RunRandomDialog(false,
                                  [&](HWND dialog) {
                                      const RandomDialogControls c(dialog);
                                      SetText(c.edit1, "1");
                                      SetText(c.edit2, "6");
                                      cancel(dialog);
                                  }),
                  std::nullopt);
    }
}

// ---- The menu in a real options window ----

// The open popup menu of this thread, or null (a closed one may linger hidden).
HWND FindPopupMenu()
{
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM context) -> BOOL {
            char name[16] = {};
            ::GetClassNameA(window, name, sizeof name);
            if (std::string(name) == "#32768" && ::IsWindowVisible(window)) {
                *reinterpret_cast<HWND*>(context) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string MenuText(HMENU menu, UINT index)
{
    char text[128] = {};
    ::GetMenuStringA(menu, index, text, sizeof text, MF_BYPOSITION);
    return text;
}

class InsertVariableTest : public ::testing::Test {
protected:
    static constexpr const char* kText = "Hello world";

    void SetUp() override
    {
        // A pointer under a menu would move its selection as the menu appears.
        ::SetCursorPos(0, 0);
        auto macro = std::make_shared<TMacro>();
        macro->Id = 1;
        macro->Name = "Greeting";
        auto action = std::make_unique<TTextMacro>();
        action->Text = kText;
        macro->Settings = std::move(action);
        m_store.MacroList.push_back({macro->Name, macro});
        m_window = std::make_unique<TOptions>(OptionsWindowHost{m_store, m_settings, m_autoStart, "C:\\velmora.exe",
                                                                {}, {}});
        ASSERT_TRUE(m_window->FormCreate());
        m_window->ShowOnTop();
        m_window->Editor().SelectMacro(0);
        tests::PumpWaitingMessages();
        m_field = FindControl(m_window->Handle(), options_id::kSendText);
        m_button = FindControl(m_window->Handle(), options_id::kInsertVariable);
        ASSERT_NE(m_field, nullptr);
        ASSERT_NE(m_button, nullptr);
        ASSERT_EQ(TextOf(m_field), kText);
        ASSERT_TRUE(::IsWindowVisible(m_button));
    }

    void TearDown() override
    {
        m_window.reset();
        tests::PumpWaitingMessages();
    }

    // Clicks "Insert Variable...", presses keys in the menu once it is up,
    // then runs afterMenu in whatever the choice opened.
    void ChooseWithKeys(std::vector<WPARAM> keys, std::function<void(HWND)> inMenu = {},
                        std::function<HWND()> findNext = {}, std::function<void(HWND)> afterMenu = {})
    {
        WhenShown(m_driver, FindPopupMenu, [&, keys = std::move(keys)](HWND menu) {
            m_menuShown = true;
            if (inMenu) {
                inMenu(menu);
            }
            for (const WPARAM key : keys) {
                ::PostMessageA(m_driver.Handle(), WM_KEYDOWN, key, 0);
            }
            if (afterMenu) {
                WhenShown(m_driver, findNext, afterMenu);
            }
        });
        Click(m_button);
        tests::PumpWaitingMessages();
        EXPECT_TRUE(m_menuShown);
        EXPECT_EQ(FindPopupMenu(), nullptr) << "the menu is closed";
    }

    std::pair<DWORD, DWORD> Selection() const
    {
        DWORD start = 0;
        DWORD end = 0;
        ::SendMessageA(m_field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }

    tests::FakeFileSystem m_files;
    tests::FakeRegistry m_registry;
    MacroStore m_store{m_files};
    SettingsRecord m_settings;
    AutoStart m_autoStart{m_registry};
    std::unique_ptr<TOptions> m_window;
    Driver m_driver;
    HWND m_field = nullptr;
    HWND m_button = nullptr;
    bool m_menuShown = false;
};

TEST_F(InsertVariableTest, TheMenuPopsUpBelowTheButtonWithEveryItemAndKeysInFourColumns)
{
    RECT button{};
    ::GetWindowRect(m_button, &button);
    RECT place{};
    std::vector<std::string> top;
    std::vector<std::string> keys;
    std::vector<std::string> columnStarts;
    ChooseWithKeys({VK_ESCAPE}, [&](HWND popup) {
        ::GetWindowRect(popup, &place);
        const auto menu = reinterpret_cast<HMENU>(::SendMessageA(popup, MN_GETHMENU, 0, 0));
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            top.push_back(MenuText(menu, static_cast<UINT>(i)));
        }
        const HMENU keyMenu = ::GetSubMenu(menu, 3);
        for (int i = 0; i < ::GetMenuItemCount(keyMenu); ++i) {
            MENUITEMINFOA info{.cbSize = sizeof(MENUITEMINFOA), .fMask = MIIM_FTYPE};
            ::GetMenuItemInfoA(keyMenu, static_cast<UINT>(i), TRUE, &info);
            if ((info.fType & MFT_SEPARATOR) == 0) {
                keys.push_back(MenuText(keyMenu, static_cast<UINT>(i)));
            }
            if (info.fType & (MFT_MENUBARBREAK | MFT_MENUBREAK)) {
                columnStarts.push_back(MenuText(keyMenu, static_cast<UINT>(i)));
            }
        }
    });
    EXPECT_EQ(place.left, button.left);
    EXPECT_EQ(place.top, button.bottom + 1) << "one pixel below the button";
    EXPECT_EQ(top, (std::vector<std::string>{"Date", "Time", "", "Keys", "&Misc."}));
    EXPECT_EQ(keys.size(), 51u);
    EXPECT_EQ(columnStarts, (std::vector<std::string>{"Left", "Up", "Key Pad - 0"}));
    EXPECT_EQ(TextOf(m_field), kText) << "Escape chooses nothing";
}

TEST_F(InsertVariableTest, AChosenItemPutsItsExactTagAtTheCaret)
{
    ::SendMessageA(m_field, EM_SETSEL, 5, 5);
    // Time > Minute > "Minute Number (Example: 5)".
    ChooseWithKeys({VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    const std::string tag = "{\"ShortMinute\"}";
    const std::string expected = "Hello" + tag + " world";
    EXPECT_EQ(TextOf(m_field), expected);
    const auto caret = static_cast<DWORD>(5 + tag.size());
    EXPECT_EQ(Selection(), std::make_pair(caret, caret)) << "the caret ends after the tag";
    EXPECT_EQ(::GetFocus(), m_field) << "focus back in the text";
    EXPECT_EQ(m_window->Editor().Panel.SendText, expected) << "the edit reaches the macro being edited";

    EXPECT_TRUE(::SendMessageA(m_field, EM_CANUNDO, 0, 0)) << "the insertion can be undone";
    ::SendMessageA(m_field, EM_UNDO, 0, 0);
    EXPECT_EQ(TextOf(m_field), kText);
    EXPECT_EQ(m_window->Editor().Panel.SendText, kText);
}

TEST_F(InsertVariableTest, AChosenItemReplacesTheSelection)
{
    ::SendMessageA(m_field, EM_SETSEL, 0, 5);
    // Keys > "Page Up": the twelfth key of the first column.
    std::vector<WPARAM> keys = {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT};
    keys.insert(keys.end(), 11, VK_DOWN);
    keys.push_back(VK_RETURN);
    ChooseWithKeys(keys);
    EXPECT_EQ(TextOf(m_field), "{\"PageUp\"} world");
    EXPECT_EQ(Selection(), std::make_pair(DWORD{10}, DWORD{10}));
    EXPECT_EQ(m_window->Editor().Panel.SendText, "{\"PageUp\"} world");
}

TEST_F(InsertVariableTest, RandomDialogWithMinimumAboveMaximumShowsTheMessageAndInsertsNothing)
{
    ::SendMessageA(m_field, EM_SETSEL, 5, 5);
    std::string message;
    bool stayedOpen = false;
    std::string caption;
    // &Misc. > &Random Number Generator.
    ChooseWithKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}, {}, FindRandomDialog,
                   [&](HWND dialog) {
                       caption = TextOf(dialog);
                       EXPECT_FALSE(::IsWindowEnabled(m_window->Handle())) << "modal over the options window";
                       const RandomDialogControls c(dialog);
                       SetText(c.edit1, "7");
                       SetText(c.edit2, "3");
                       WhenShown(m_driver, FindMessageBox, [&](HWND box) {
                           message = MessageBoxText(box);
                           ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                       });
                       Click(c.ok);
                       stayedOpen = ::IsWindowVisible(dialog) != FALSE;
                       Click(c.cancel);
                   });
    EXPECT_EQ(caption, "Insert Random Number Generator");
    EXPECT_EQ(message, "You have set a minimum value that is higher than the maximum value which is not allowed.");
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(FindRandomDialog(), nullptr) << "destroyed after use";
    EXPECT_EQ(TextOf(m_field), kText) << "nothing inserted";
    EXPECT_EQ(m_window->Editor().Panel.SendText, kText);
    EXPECT_TRUE(::IsWindowEnabled(m_window->Handle()));
}

TEST_F(InsertVariableTest, RandomHexDialogInsertsTheBuiltTag)
{
    ::SendMessageA(m_field, EM_SETSEL, 5, 5);
    std::string caption;
    ChooseWithKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN}, {}, FindRandomDialog,
                   [&](HWND dialog) {
                       caption = TextOf(dialog);
                       const RandomDialogControls c(dialog);
                       SetText(c.edit1, "1");
                       SetText(c.edit2, "6");
                       Click(c.checkBox1);
                       SetText(c.edit3, "2");
                       Click(c.ok);
                   });
    EXPECT_EQ(caption, "Insert Random Hex Number Generator");
    EXPECT_EQ(TextOf(m_field), "Hello{\"RandHex 1,6,2\"} world");
    EXPECT_EQ(m_window->Editor().Panel.SendText, "Hello{\"RandHex 1,6,2\"} world");
    EXPECT_EQ(::GetFocus(), m_field);
}

}  // namespace
}  // namespace velmora
