// The real low-level hooks: keys and clicks sent to the desktop reach the
// listener on this thread, translated, with the program's own keys and a
// run's keys marked and left untranslated.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <tuple>
#include <vector>

#include "platform/Keyboard.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32KeyWatch.h"

namespace velmora::win32 {
namespace {

constexpr UINT kKeyMessage = WM_APP + 1;
constexpr UINT kClickMessage = WM_APP + 2;

// Presses the keys in order and lets them go in reverse, in one SendInput
// call, with the extra information given.
void Press(std::initializer_list<WORD> keys, ULONG_PTR extraInfo = 0)
{
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        inputs.push_back({.type = INPUT_KEYBOARD, .ki = {.wVk = key, .dwExtraInfo = extraInfo}});
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        inputs.push_back(
            {.type = INPUT_KEYBOARD, .ki = {.wVk = *key, .dwFlags = KEYEVENTF_KEYUP, .dwExtraInfo = extraInfo}});
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class KeyWatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window);
        watch.SetWindow(window.Get(), kKeyMessage, kClickMessage);
        watch.KeyPressed = [this](const WatchedKey& key) { keys.push_back(key); };
        watch.Clicked = [this] { ++clicks; };
        ASSERT_TRUE(watch.Start());
    }

    // Hands the posted messages to the watch, as the main window's procedure
    // does, until the condition holds; false when it did not in time.
    template <typename Done>
    bool Pump(Done done, std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (MSG message{}; !done(); ::Sleep(5)) {
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == kKeyMessage) {
                    watch.WMKeyWatchKey(message.wParam, message.lParam);
                } else if (message.message == kClickMessage) {
                    watch.WMKeyWatchClick();
                }
            }
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
        }
        return true;
    }
    const WatchedKey* Find(std::uint8_t virtualKey) const
    {
        const auto found = std::find_if(keys.begin(), keys.end(), [&](const WatchedKey& key) { return key.virtualKey == virtualKey; });
        return found == keys.end() ? nullptr : &*found;
    }

    UniqueWindow window{::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)};
    Win32KeyWatch watch;
    std::vector<WatchedKey> keys;
    int clicks = 0;
};

TEST_F(KeyWatchTest, KeysArriveTranslatedAndMarked)
{
    struct Row {
        const char* name;
        std::initializer_list<WORD> keys;
        ULONG_PTR extraInfo;
        bool duringRun;
        WatchedKey expected;
    };
    const Row rows[] = {
        {"letter", {'A'}, 0, false, {.virtualKey = 'A', .text = u"a"}},
        {"with Shift", {VK_SHIFT, 'B'}, 0, false, {.virtualKey = 'B', .held = kHeldShift, .text = u"B"}},
        {"with Ctrl", {VK_CONTROL, 'C'}, 0, false, {.virtualKey = 'C', .held = kHeldCtrl, .text = u"\x03"}},
        {"punctuation", {VK_OEM_1}, 0, false, {.virtualKey = VK_OEM_1, .text = u";"}},
        {"the program's own", {'D'}, kOwnInputMark, false, {.virtualKey = 'D', .own = true}},
        {"another program's mark", {'E'}, 0x1234, false, {.virtualKey = 'E', .text = u"e"}},
        {"during a run", {'F'}, 0, true, {.virtualKey = 'F', .duringRun = true}},
    };
    for (const Row& row : rows) {
        keys.clear();
        watch.SetMacroRunning(row.duringRun);
        Press(row.keys, row.extraInfo);
        ASSERT_TRUE(Pump([&] { return Find(row.expected.virtualKey) != nullptr; })) << row.name << ": never arrived";
        const WatchedKey& key = *Find(row.expected.virtualKey);
        EXPECT_EQ(std::tie(key.text, key.held, key.own, key.duringRun),
                  std::tie(row.expected.text, row.expected.held, row.expected.own, row.expected.duringRun))
            << row.name;
    }
}

TEST_F(KeyWatchTest, ClicksArriveAndNothingOnceStopped)
{
    INPUT click[] = {{.type = INPUT_MOUSE, .mi = {.dwFlags = MOUSEEVENTF_RIGHTDOWN}},
                     {.type = INPUT_MOUSE, .mi = {.dwFlags = MOUSEEVENTF_RIGHTUP}}};
    ::SendInput(2, click, sizeof(INPUT));
    EXPECT_TRUE(Pump([&] { return clicks == 1; })) << "the click never arrived";
    watch.Stop();
    Press({'G'});
    ::SendInput(2, click, sizeof(INPUT));
    Pump([] { return false; }, std::chrono::milliseconds(500));
    EXPECT_EQ(std::make_pair(Find('G'), clicks), std::make_pair(static_cast<const WatchedKey*>(nullptr), 1));
    EXPECT_TRUE(watch.Start()) << "a watch that stopped starts again";
}

}  // namespace
}  // namespace velmora::win32
