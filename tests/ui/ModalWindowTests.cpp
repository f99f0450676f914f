// What every modal window of the program shares: the other windows are shut
// off while it is up, and an exit can end it from inside its loop.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/frmFirstTime.h"
#include "app/frmHotKeyErrors.h"
#include "options/frmPassword.h"
#include "ui/WindowTestSupport.h"

namespace velmora {
namespace {

using test::Driver;
using test::PumpWaitingMessages;

struct ModalCase {
    const char* name;
    // Shows the modal window over the owner and returns once it has closed.
    std::function<void(HWND owner)> show;
};

const ModalCase kModalCases[] = {
    {"password prompt", [](HWND owner) { TPassword::ShowPasswordPrompt(owner); }},
    {"refused hot keys", [](HWND owner) { THotKeyErrors::ShowHotKeyErrors(owner, {"[Ctrl + A] A"}); }},
    {"message box", [](HWND owner) { win32::ShowMessageBox(owner, "Text", "Warning", MB_OK); }},
    {"question", [](HWND owner) { win32::ShowMessageBox(owner, "Text?", "Confirm", MB_YESNO); }},
};

TEST(ModalWindow, ShutsOffTheProgramsOtherWindowsUntilItEnds)
{
    for (const ModalCase& modal : kModalCases) {
        WelcomeWindowSlot welcome;
        welcome.Show({});
        const HWND other = WelcomeWindowHandle();
        ASSERT_NE(other, nullptr);
        Driver driver;
        bool otherEnabled = true;
        int depth = 0;
        driver.Post([&] {
            otherEnabled = ::IsWindowEnabled(other) != FALSE;
            depth = win32::ModalDepth();
            // An exit asks first; a box without a cancel button is ended outright.
            win32::EndModalWindows(/*force=*/false);
            PumpWaitingMessages();
            win32::EndModalWindows(/*force=*/true);
        });
        modal.show(driver.Handle());
        EXPECT_FALSE(otherEnabled) << modal.name;
        EXPECT_EQ(depth, 1) << modal.name;
        EXPECT_TRUE(::IsWindowEnabled(other)) << modal.name << ": enabled again afterwards";
        EXPECT_EQ(win32::ModalDepth(), 0) << modal.name;
        CloseWelcomeWindow();
    }
}

TEST(ModalWindow, AnExitCancelsThePasswordPrompt)
{
    Driver driver;
    driver.Post([] {
        ::SetWindowTextA(::GetFocus(), "typed");
        win32::EndModalWindows(/*force=*/false);
    });
    EXPECT_EQ(TPassword::ShowPasswordPrompt(driver.Handle()), std::nullopt) << "ended as cancelled, not as OK";
}

TEST(ModalWindow, ObjectGoneTakesItsWindowAlong)
{
    HWND window = nullptr;
    {
        WelcomeWindowSlot welcome;
        welcome.Show({});
        window = WelcomeWindowHandle();
        ASSERT_NE(window, nullptr);
    }
    EXPECT_FALSE(::IsWindow(window));
    // Messages still queued for it reach no object.
    PumpWaitingMessages();
}

}  // namespace
}  // namespace velmora
