// The real low-level hooks: keys and clicks sent to the desktop reach the
// listener on this thread, the keys translated, or marked as the program's
// own or a run's and left untranslated.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <tuple>
#include <vector>

#include "platform/Keyboard.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32KeyWatch.h"

namespace velmora::win32 {
namespace {

constexpr UINT kKeyMessage = WM_APP + 1;
constexpr UINT kClickMessage = WM_APP + 2;

TEST(Win32KeyWatch, KeysArriveTranslatedOrMarkedAndClicksArrive)
{
    const UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    Win32KeyWatch watch;
    watch.SetWindow(window.Get(), kKeyMessage, kClickMessage);
    std::optional<WatchedKey> letter;
    int clicks = 0;
    watch.KeyPressed = [&](const WatchedKey& key) {
        if (key.virtualKey >= 'A' && key.virtualKey <= 'Z') {
            letter = key;
        }
    };
    watch.Clicked = [&] { ++clicks; };
    ASSERT_TRUE(watch.Start());
    // Hands the posted messages over as the main window's procedure does.
    const auto pump = [&](const auto& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (MSG message{}; !done() && std::chrono::steady_clock::now() < deadline; ::Sleep(5)) {
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                message.message == kKeyMessage ? watch.WMKeyWatchKey(message.wParam, message.lParam)
                                               : watch.WMKeyWatchClick();
            }
        }
        return done();
    };
    struct Row {
        const char* name;
        std::vector<WORD> keys;
        ULONG_PTR extraInfo;
        bool duringRun;
        WatchedKey expected;
    };
    const Row rows[] = {
        {"letter", {'A'}, 0, false, {.virtualKey = 'A', .text = u"a"}},
        {"with Shift", {VK_SHIFT, 'B'}, 0, false, {.virtualKey = 'B', .held = kHeldShift, .text = u"B"}},
        {"with Ctrl", {VK_CONTROL, 'C'}, 0, false, {.virtualKey = 'C', .held = kHeldCtrl, .text = u"\x03"}},
        {"the program's own", {'D'}, kOwnInputMark, false, {.virtualKey = 'D', .own = true}},
        {"another program's mark", {'E'}, 0x1234, false, {.virtualKey = 'E', .text = u"e"}},
        {"during a run", {'F'}, 0, true, {.virtualKey = 'F', .duringRun = true}},
    };
    for (const Row& row : rows) {
        letter.reset();
        watch.SetMacroRunning(row.duringRun);
        std::vector<INPUT> inputs;
        for (const UINT flags : {0u, static_cast<UINT>(KEYEVENTF_KEYUP)}) {
            for (const WORD key : row.keys) {
                inputs.push_back({.type = INPUT_KEYBOARD, .ki = {.wVk = key, .dwFlags = flags, .dwExtraInfo = row.extraInfo}});
            }
        }
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        ASSERT_TRUE(pump([&] { return letter.has_value(); })) << row.name << ": never arrived";
        EXPECT_EQ(std::tie(letter->virtualKey, letter->text, letter->held, letter->own, letter->duringRun),
                  std::tie(row.expected.virtualKey, row.expected.text, row.expected.held, row.expected.own,
                           row.expected.duringRun))
            << row.name;
    }
    INPUT click[] = {{.type = INPUT_MOUSE, .mi = {.dwFlags = MOUSEEVENTF_RIGHTDOWN}},
                     {.type = INPUT_MOUSE, .mi = {.dwFlags = MOUSEEVENTF_RIGHTUP}}};
    ::SendInput(2, click, sizeof(INPUT));
    EXPECT_TRUE(pump([&] { return clicks == 1; })) << "the click never arrived";
}

}  // namespace
}  // namespace velmora::win32
