// The real low-level hooks: keys and clicks sent to the desktop reach the
// listener on this thread, the keys translated, or marked as the program's
// own or a run's and left untranslated.

#include <gtest/gtest.h>

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
    // Sends the events, then hands the posted messages over as the main
    // window's procedure does, for up to 10 s until done.
    const auto send = [&](std::vector<INPUT> inputs, const auto& done) {
        int waits = 0;
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        for (MSG message{}; !done() && ++waits < 2000; ::Sleep(5)) {
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                message.message == kKeyMessage ? watch.WMKeyWatchKey(message.wParam, message.lParam)
                                               : watch.WMKeyWatchClick();
            }
        }
        return done();
    };
    const std::tuple<std::vector<WORD>, ULONG_PTR, WatchedKey> rows[] = {
        {{VK_SHIFT, 'B'}, 0, {.virtualKey = 'B', .held = kHeldShift, .text = u"B"}},
        {{VK_CONTROL, 'C'}, 0, {.virtualKey = 'C', .held = kHeldCtrl, .text = u"\x03"}},
        {{'D'}, kOwnInputMark, {.virtualKey = 'D', .own = true}},
        {{'E'}, 0x1234, {.virtualKey = 'E', .text = u"e"}},  // with another program's mark
        {{'F'}, 0, {.virtualKey = 'F', .duringRun = true}},
    };
    const auto tied = [](const WatchedKey& k) { return std::tie(k.virtualKey, k.text, k.held, k.own, k.duringRun); };
    for (const auto& [keys, extraInfo, expected] : rows) {
        letter.reset();
        watch.SetMacroRunning(expected.duringRun);
        std::vector<INPUT> inputs;
        for (const DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            for (const WORD key : keys) {
                inputs.push_back({.type = INPUT_KEYBOARD, .ki = {.wVk = key, .dwFlags = flags, .dwExtraInfo = extraInfo}});
            }
        }
        const char name = static_cast<char>(expected.virtualKey);
        ASSERT_TRUE(send(inputs, [&] { return letter.has_value(); })) << name << ": never arrived";
        EXPECT_EQ(tied(*letter), tied(expected)) << name;
    }
    EXPECT_TRUE(send({{.type = INPUT_MOUSE, .mi = {.dwFlags = MOUSEEVENTF_RIGHTDOWN}},
                      {.type = INPUT_MOUSE, .mi = {.dwFlags = MOUSEEVENTF_RIGHTUP}}},
                     [&] { return clicks == 1; }))
        << "the click never arrived";
}

}  // namespace
}  // namespace velmora::win32
