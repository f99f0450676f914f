#include "app/TrayIcon.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "app/Resources.h"

namespace velmora {
namespace {

constexpr UINT_PTR kTimer = 7;

// Stands in for the task bar: answers NIM_ADD and NIM_MODIFY from a script
// (true when it runs out) and records what it was asked.
class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        icon.Attach(window, kTimer, VELMORA_IDI_PROGRAM);
    }
    void TearDown() override { ::DestroyWindow(window); }

    // True when the retry timer was set; it is gone afterwards.
    bool TakeTimer() { return ::KillTimer(window, kTimer) != FALSE; }

    HWND window = nullptr;
    std::deque<bool> answers;
    std::vector<DWORD> commands;
    HICON lastIcon = nullptr;
    TrayIcon icon{[this](DWORD command, NOTIFYICONDATAA& data) {
        commands.push_back(command);
        EXPECT_EQ(data.hWnd, window);
        if (command == NIM_DELETE) {
            return true;
        }
        EXPECT_STREQ(data.szTip, "Velmora");
        lastIcon = data.hIcon;
        if (answers.empty()) {
            return true;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }};
};

TEST_F(TrayIconTest, AddingFallsBackToModifyingThenToTheTimer)
{
    struct Case {
        const char* name;
        std::deque<bool> answers;
        std::vector<DWORD> commands;
        bool shown;
    };
    const Case cases[] = {
        {"added at once", {true}, {NIM_ADD}, true},
        {"there already", {false, true}, {NIM_ADD, NIM_MODIFY}, true},
        {"task bar not ready", {false, false}, {NIM_ADD, NIM_MODIFY}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        answers = c.answers;
        commands.clear();
        icon.SetActive(true);
        EXPECT_EQ(commands, c.commands);
        EXPECT_TRUE(icon.Active());
        EXPECT_EQ(icon.Shown(), c.shown);
        EXPECT_EQ(TakeTimer(), !c.shown) << "retried from the timer, not by waiting";
        icon.SetActive(false);
        EXPECT_EQ(commands.back(), static_cast<DWORD>(NIM_DELETE));
        EXPECT_FALSE(icon.Shown());
    }
}

TEST_F(TrayIconTest, TimerRetriesUntilTheIconIsAddedOrItGivesUp)
{
    answers = {false, false};
    icon.SetActive(true);
    answers = {false, false, false, false};
    icon.RetryTimer();
    icon.RetryTimer();
    EXPECT_FALSE(icon.Shown());
    commands.clear();
    icon.RetryTimer();
    EXPECT_TRUE(icon.Shown());
    EXPECT_EQ(commands, std::vector<DWORD>{NIM_ADD});
    EXPECT_FALSE(TakeTimer()) << "stopped once added";
    icon.RetryTimer();
    EXPECT_EQ(commands.size(), 1u) << "a late tick does nothing";

    icon.SetActive(false);
    answers = std::deque<bool>(1000, false);
    icon.SetActive(true);
    int ticks = 0;
    for (; ticks < 1000 && icon.Active() && !icon.Shown(); ++ticks) {
        const auto before = commands.size();
        icon.RetryTimer();
        if (commands.size() == before) {
            break;
        }
    }
    EXPECT_LT(ticks, 1000) << "retries are bounded";
    EXPECT_FALSE(TakeTimer());
}

TEST_F(TrayIconTest, UsesTheSmallImageAtTheTaskBarsDpi)
{
    icon.SetActive(true);
    ASSERT_NE(lastIcon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(lastIcon, &info));
    BITMAP bitmap{};
    ::GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    const SIZE size = SmallIconSize(window);
    EXPECT_EQ(bitmap.bmWidth, size.cx);
    EXPECT_EQ(size.cx, ::GetSystemMetricsForDpi(SM_CXSMICON, ::GetDpiForSystem()));

    commands.clear();
    icon.Restore();
    EXPECT_EQ(commands, std::vector<DWORD>{NIM_ADD}) << "a new task bar gets the icon again";
    icon.SetActive(false);
    commands.clear();
    icon.Restore();
    EXPECT_TRUE(commands.empty()) << "an inactive icon stays away";
}

}  // namespace
}  // namespace velmora
