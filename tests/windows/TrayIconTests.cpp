#include "app/TrayIcon.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "ui/Resources.h"

namespace velmora {
namespace {

constexpr UINT_PTR kTimer = 7;

// Stands in for the task bar: answers NIM_ADD and NIM_MODIFY from a script
// (yes when it runs out) and records what it was asked.
class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override { icon.Attach(window.Get(), kTimer, VELMORA_IDI_PROGRAM); }

    // True when the retry timer was set; it is gone afterwards.
    bool TakeTimer() { return ::KillTimer(window.Get(), kTimer) != FALSE; }

    win32::UniqueWindow window{::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)};
    std::deque<bool> answers;
    std::vector<DWORD> commands;
    HICON shownIcon = nullptr;
    TrayIcon icon{[this](DWORD command, NOTIFYICONDATAW& data) {
        commands.push_back(command);
        shownIcon = data.hIcon;
        const bool answer = command == NIM_DELETE || answers.empty() || answers.front();
        if (command != NIM_DELETE && !answers.empty()) {
            answers.pop_front();
        }
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
        {"added at once", {true}, {NIM_ADD, NIM_SETVERSION}, true},
        {"there already", {false, true}, {NIM_ADD, NIM_MODIFY, NIM_SETVERSION}, true},
        {"task bar not ready", {false, false}, {NIM_ADD, NIM_MODIFY}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        answers = c.answers;
        commands.clear();
        icon.SetActive(true);
        EXPECT_EQ(commands, c.commands);
        EXPECT_EQ(icon.Shown(), c.shown);
        EXPECT_EQ(TakeTimer(), !c.shown) << "retried from the timer, never by waiting";
        icon.SetActive(false);
        EXPECT_EQ(commands.back(), static_cast<DWORD>(NIM_DELETE));
    }
}

TEST_F(TrayIconTest, TimerRetriesUntilAddedOrItGivesUp)
{
    answers = std::deque<bool>(6, false);
    icon.SetActive(true);
    icon.RetryTimer();
    icon.RetryTimer();
    commands.clear();
    icon.RetryTimer();
    EXPECT_TRUE(icon.Shown());
    EXPECT_EQ(commands, (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION}));
    EXPECT_FALSE(TakeTimer()) << "stopped once added";

    icon.SetActive(false);
    answers = std::deque<bool>(10000, false);
    icon.SetActive(true);
    for (int tick = 0; tick < 1000; ++tick) {
        icon.RetryTimer();
    }
    EXPECT_GT(answers.size(), 10000u - 1000u) << "retries are bounded";
    EXPECT_FALSE(TakeTimer());
}

TEST_F(TrayIconTest, SmallImageAtTheTaskBarsDpiAndAgainForANewTaskBar)
{
    icon.SetActive(true);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(shownIcon, &info));
    BITMAP bitmap{};
    ::GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    EXPECT_EQ(bitmap.bmWidth, SmallIconSize(window.Get()).cx);
    EXPECT_LT(bitmap.bmWidth, ::GetSystemMetrics(SM_CXICON)) << "not the large image";

    commands.clear();
    icon.Restore();
    EXPECT_EQ(commands, (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION})) << "a new task bar is told the version again";
    icon.SetActive(false);
    commands.clear();
    icon.Restore();
    EXPECT_TRUE(commands.empty()) << "an inactive icon stays away";
}

// A task bar that took version 4 follows each button's release with its own
// event, which alone counts; one that refused it, or had not taken it yet,
// sends the release alone.
TEST_F(TrayIconTest, MessagesAreReadInTheLayoutTheTaskBarTook)
{
    const struct {
        bool version4;
        LPARAM lParam;
        TrayEvent::Kind kind;
    } cases[] = {
        {true, MAKELPARAM(WM_LBUTTONUP, 1), TrayEvent::None},   {true, MAKELPARAM(NIN_KEYSELECT, 1), TrayEvent::Open},
        {true, MAKELPARAM(WM_RBUTTONUP, 1), TrayEvent::None},   {false, WM_LBUTTONUP, TrayEvent::Open},
        {false, WM_RBUTTONUP, TrayEvent::Menu},                 {false, NIN_BALLOONUSERCLICK, TrayEvent::NoticeEnded},
        {true, WM_LBUTTONUP, TrayEvent::Open},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lParam);
        answers = {true, c.version4};
        icon.SetActive(true);
        EXPECT_EQ(icon.ReadEvent(0, c.lParam).kind, c.kind);
        icon.SetActive(false);
    }
}

}  // namespace
}  // namespace velmora
