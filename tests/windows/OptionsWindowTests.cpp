// The options window makes most of its controls when they first show; each
// one made later still stands where the table puts it in z-order, which is
// the tab order and what ties a label to its control.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeFileSystem.h"
#include "fakes/FakeRegistry.h"
#include "options/OptionsControls.h"
#include "options/OptionsLayout.h"
#include "options/frmOptions.h"
#include "windows/WindowTestSupport.h"

namespace velmora::tests {

namespace {

namespace id = options_id;

// What the user does, in the order of a case.
enum class Step { OptionsPage, MacrosPage, AddMacro, Keys, Launch, System, Command, RunAnother, PasswordProtect };

// A child as the table names it: its id, and its text for a label without one.
std::string Key(int controlId, const std::string& text)
{
    return std::to_string(controlId) + " " + (controlId == 0 ? text : std::string());
}

std::string KeyOf(HWND child)
{
    char text[256] = "";
    ::GetWindowTextA(child, text, sizeof text);
    return Key(::GetDlgCtrlID(child), text);
}

// The holder's children from the top of the z-order down, the status bar left out.
std::vector<std::string> ChildrenInZOrder(HWND holder)
{
    std::vector<std::string> keys;
    for (HWND child = ::GetWindow(holder, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(child) != id::kStatusBar) {
            keys.push_back(KeyOf(child));
        }
    }
    return keys;
}

// The table's rows of that holder that were made, in the table's order.
std::vector<std::string> RowsMadeIn(int holderId, const std::vector<std::string>& made)
{
    std::vector<std::string> keys;
    for (const LayoutRow& row : kOptionsTable.rows) {
        const std::string key = Key(row.id, row.text);
        if (row.parent == holderId && std::ranges::find(made, key) != made.end()) {
            keys.push_back(key);
        }
    }
    return keys;
}

class OptionsWindowTest : public ::testing::Test {
protected:
    OptionsWindowTest()
    {
        for (const char* name : {"Alpha", "Beta"}) {
            auto macro = std::make_shared<TMacro>();
            macro->Id = store.NewMacroId();
            macro->Name = name;
            store.MacroList.push_back({macro->Name, macro});
        }
    }

    HWND Control(int controlId) const { return FindControl(window->Handle(), controlId); }

    void Do(Step step)
    {
        const auto choose = [&](int combo, int index) {
            ::SendMessageA(Control(combo), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            ::SendMessageA(window->Handle(), WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(Control(combo)));
        };
        const auto page = [&](int index) {
            const HWND tabs = Control(id::kPageControl);
            ::SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
            NMHDR header{.hwndFrom = tabs, .idFrom = id::kPageControl, .code = static_cast<UINT>(TCN_SELCHANGE)};
            ::SendMessageA(window->Handle(), WM_NOTIFY, id::kPageControl, reinterpret_cast<LPARAM>(&header));
        };
        switch (step) {
        case Step::OptionsPage: page(1); break;
        case Step::MacrosPage: page(0); break;
        case Step::AddMacro: ::SendMessageA(Control(id::kAddMacro), BM_CLICK, 0, 0); break;
        case Step::Keys: choose(id::kAction, kKeystrokesAction); break;
        case Step::Launch: choose(id::kAction, kLaunchAction); break;
        case Step::System: choose(id::kAction, kSystemAction); break;
        case Step::Command: choose(id::kAction, kVelmoraAction); break;
        case Step::RunAnother: ::SendMessageA(Control(id::kRunAnother), BM_CLICK, 0, 0); break;
        case Step::PasswordProtect: ::SendMessageA(Control(id::kPasswordProtect), BM_CLICK, 0, 0); break;
        }
        PumpWaitingMessages();
    }

    FakeFileSystem files;
    FakeRegistry registry;
    MacroStore store{files};
    SettingsRecord settings;
    AutoStart autoStart{registry};
    std::unique_ptr<TOptions> window;
};

TEST_F(OptionsWindowTest, ControlsMadeWhenFirstShownTakeTheTablesPlaceInZOrder)
{
    using enum Step;
    struct Case {
        const char* name;
        std::vector<Step> steps;
        // Shown on the way.
        std::vector<int> made;
        // Never shown, so never made.
        std::vector<int> notMade;
    };
    const std::vector<Case> cases = {
        {"nothing shown", {}, {id::kMacroList, id::kHelp}, {id::kMacroEditPanel, id::kOptionsPage, id::kNextMacro, id::SettingsPanelId(kKeystrokesAction)}},
        {"a macro, its actions backwards",
         {AddMacro, Command, System, Launch, Keys, RunAnother},
         {id::kVelmoraCommand, id::kSystemCommand, id::kFilename, id::kSendText, id::kNextMacro},
         {id::kOptionsPage, id::kMacrosNotLoadedPage}},
        {"the options page first",
         {OptionsPage, PasswordProtect, MacrosPage, AddMacro, RunAnother, Launch},
         {id::kPasswordConfirm, id::kNextMacroLabel, id::kCommandLine},
         {id::SettingsPanelId(kSystemAction), id::SettingsPanelId(kVelmoraAction), id::kMacrosNotLoadedPage}},
        {"the next macro before its panel's neighbours",
         {AddMacro, RunAnother, System, Keys, OptionsPage},
         {id::kNextMacro, id::kSystemCommand, id::kPaste, id::kUnicodeInput},
         {id::kPasswordPanel, id::SettingsPanelId(kLaunchAction), id::SettingsPanelId(kVelmoraAction)}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        window = std::make_unique<TOptions>(OptionsWindowHost{store, settings, autoStart, "C:\\velmora.exe", {}, {}});
        ASSERT_TRUE(window->FormCreate());
        window->ShowOnTop();
        PumpWaitingMessages();
        for (const Step step : test.steps) {
            Do(step);
        }
        for (const int shown : test.made) {
            EXPECT_NE(Control(shown), nullptr) << "control " << shown;
        }
        for (const int missing : test.notMade) {
            EXPECT_EQ(Control(missing), nullptr) << "control " << missing;
        }
        std::vector<int> holders = {0};
        for (const LayoutRow& row : kOptionsTable.rows) {
            if (row.kind == ControlKind::Page || row.kind == ControlKind::Panel || row.kind == ControlKind::Tabs) {
                holders.push_back(row.id);
            }
        }
        for (const int holderId : holders) {
            const HWND holder = holderId == 0 ? window->Handle() : Control(holderId);
            if (holder == nullptr) {
                continue;
            }
            const std::vector<std::string> made = ChildrenInZOrder(holder);
            EXPECT_EQ(made, RowsMadeIn(holderId, made)) << "in holder " << holderId;
        }
        window.reset();
    }
}

}  // namespace

}  // namespace velmora::tests
