// The options window of the real velmora.exe says at once what the edited
// hot key is up against, as the user clicks rows and boxes and types keys
// into the hot-key list: free, another macro's, Windows' own, or held by
// another program (this test, which holds one).

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "e2e/support/VelmoraProcess.h"
#include "options/OptionsControls.h"
#include "support/WaitFor.h"
#include "windows/WindowTestSupport.h"

namespace velmora {
namespace {

namespace id = options_id;
using tests::WaitFor;

class HotKeyCheckTest : public tests::VelmoraProcessTest {
protected:
    HWND Control(int controlId) const { return tests::FindControl(options, controlId); }

    bool ClickControl(int controlId) const { return tests::ClickOn(Control(controlId)); }
    bool ClickRow(int row) const
    {
        const HWND list = Control(id::kMacroList);
        const RECT rect = tests::ListViewRowRect(list, row);
        POINT middle{40, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(list, &middle);
        return tests::ClickWithMouse(middle);
    }
    // Keys through the X server, into the window that has the focus.
    static bool Key(const std::string& name) { return tests::PressOnTheXServer(name); }
    bool Focused(HWND control) const
    {
        GUITHREADINFO info{.cbSize = sizeof(GUITHREADINFO)};
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(options, nullptr), &info) && info.hwndFocus == control;
    }

    HWND options = nullptr;
};

TEST_F(HotKeyCheckTest, TheStatusBarNamesWhatTheEditedHotKeyIsUpAgainst)
{
    const std::string settingsKey = UseOwnName("velmora-hotkey-check");
    tests::SetRegistryText(settingsKey, "FirstTimeRun_Checked", "False");
    auto alpha = tests::HotKeyMacro(1, "alpha", "J");
    auto beta = tests::HotKeyMacro(2, "beta", "K");
    alpha->Name = "Alpha";
    beta->Name = "Beta";
    tests::SaveMacros(directory, {{"Alpha", alpha}, {"Beta", beta}});
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitFor([&] { return tests::TrayIconShown(mainWindow); })) << "start-up never finished";
    // Another program holds Ctrl+Alt+T for as long as the test runs.
    ASSERT_TRUE(::RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'T'));

    ASSERT_TRUE(tests::ClickTrayIcon());
    ASSERT_TRUE(WaitFor([&] {
        options = tests::FindProcessWindow(processId, "TOptions");
        return options != nullptr && ::IsWindowVisible(options) && ::GetForegroundWindow() == options;
    })) << "the options window never came up in front";
    const HWND status = Control(id::kStatusBar);
    EXPECT_EQ(tests::TextOf(status), "") << "nothing is edited yet";

    const std::function<bool()> typeIntoHotKeyList = [&] {
        return Key("Tab") && WaitFor([&] { return Focused(Control(id::kHotKey)); }) && Key("j");
    };
    const struct {
        std::function<bool()> act;
        std::string status;
    } steps[] = {
        {[&] { return ClickRow(1); }, "Ctrl + Alt + K is free"},
        {[&] { return ClickControl(id::kAlt); }, "Ctrl + K is free"},
        {[&] { return ClickControl(id::kAlt); }, "Ctrl + Alt + K is free"},
        {typeIntoHotKeyList, "Ctrl + Alt + J is also used by \"Alpha\""},
        {[&] { return Key("t"); }, "Ctrl + Alt + T is taken by another program"},
        {[&] { return Key("l"); }, "Ctrl + Alt + L is free"},
        {[&] { return ClickControl(id::kCtrl); }, "Alt + L is free"},
        {[&] { return ClickControl(id::kAlt); }, "L is free"},
        {[&] { return ClickControl(id::kWin); }, "Win + L is reserved by Windows (locks the computer)"},
        // Velmora's own hot keys are let go while the window is open.
        {[&] { return ClickRow(0); }, "Ctrl + Alt + J is free"},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(step.act()) << step.status;
        std::string shown;
        ASSERT_TRUE(WaitFor([&] { return (shown = tests::TextOf(status)) == step.status; }))
            << "expected \"" << step.status << "\", shown \"" << shown << "\"";
    }
    ::UnregisterHotKey(nullptr, 1);
    CloseAndExpectCleanExit();
}

}  // namespace
}  // namespace velmora
