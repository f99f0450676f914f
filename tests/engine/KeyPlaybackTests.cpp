#include "engine/KeyPlayback.h"

#include <gtest/gtest.h>

#include <numeric>
#include <optional>
#include <random>

#include "engine/TextExpansion.h"
#include "fakes/FakePlatform.h"
#include "macros/Error.h"

namespace velmora {
namespace {

using tests::FakePlatform;
using tests::KeyEvent;

class KeyPlaybackTest : public ::testing::Test {
protected:
    void Play(std::string keys) { player.PlayKeyString(std::move(keys)); }
    std::vector<std::uint8_t> KeysDown() { return platform.keyboard.KeysDown(); }

    FakePlatform platform;
    bool slowdown = false;
    KeyPlayer player{platform.keyboard, platform.clipboard, platform.thread, platform.codePage,
                     [this] { return slowdown; }};
};

// What a string leaves behind: the text in the focused window, no key down,
// CapsLock as the user had it. A modifier still down at the wrong moment
// shows in the text (the fake types nothing while Ctrl or Alt is down).
TEST(KeyPlaybackResult, TextArrivesAndNoKeyIsLeftDown)
{
    struct Case {
        const char* name;
        std::string keys;
        bool capsOn;
        std::string typed;
    };
    const Case cases[] = {
        {"letters with and without Shift", "Ab", false, "Ab"},
        {"CapsLock off while playing", "aB", true, "aB"},
        {"a Shift request lasts to the end", "\xFF\x10" "ab1", false, "AB!"},
        {"a Ctrl request holds for the next key only", "\xFF\x11" "ab", false, "b"},
        {"Alt and Ctrl requests together", "\xFF\x12\xFF\x11" "ab", false, "b"},
        {"each line break one Enter", "a\r\nb\rc\r\r\nd\n", false, "a\nb\nc\nd\n"},
        {"key 0 and unknown commands press nothing", std::string("\xFE\x00\xFF\x07x", 5), false, "x"},
        {"an escape at the end", "y\xFE", false, "y"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform platform;
        KeyPlayer player{platform.keyboard, platform.clipboard, platform.thread, platform.codePage};
        platform.keyboard.SetToggled(vk::Capital, c.capsOn);
        player.PlayKeyString(c.keys);
        EXPECT_EQ(platform.keyboard.typed, c.typed);
        EXPECT_TRUE(platform.keyboard.KeysDown().empty());
        EXPECT_EQ(platform.keyboard.IsKeyToggled(vk::Capital), c.capsOn);
        EXPECT_TRUE(platform.thread.sleeps.empty()) << "no slow-down, no retries";
    }
}

TEST_F(KeyPlaybackTest, ModifiersAreReleasedInTheOrderPressed)
{
    Play("\xFF\x12\xFF\x11" "A");
    constexpr auto kExtended = kKeyEventExtendedKey;
    constexpr auto kUp = kKeyEventKeyUp;
    EXPECT_EQ(platform.keyboard.events,
              (std::vector<KeyEvent>{{vk::Shift, kExtended}, {vk::Menu, kExtended}, {vk::Control, kExtended},
                                     {'A', 0}, {'A', kUp}, {vk::Shift, kExtended | kUp},
                                     {vk::Menu, kExtended | kUp}, {vk::Control, kExtended | kUp}}));
}

TEST_F(KeyPlaybackTest, ShiftRequestEndsWithItsString)
{
    Play("\xFF\x10" "ab1");
    Play("ab");
    EXPECT_EQ(platform.keyboard.typed, "AB!ab");
}

TEST_F(KeyPlaybackTest, KeyEscapePressesItsKeyAndPauseWaitsASecond)
{
    Play("\xFE\x70");
    EXPECT_EQ(platform.keyboard.events, (std::vector<KeyEvent>{{vk::F1, 0}, {vk::F1, kKeyEventKeyUp}}));
    Play("\xFF\x01");
    EXPECT_EQ(platform.thread.sleeps, std::vector<std::uint32_t>(20, 50)) << "a second, in slices a stop can end";
}

TEST_F(KeyPlaybackTest, SlowdownPausesAfterEverySlowedEvent)
{
    slowdown = true;
    Play("aB");
    EXPECT_EQ(platform.thread.sleeps, std::vector<std::uint32_t>(6, 1));
}

TEST_F(KeyPlaybackTest, KeyStateLagIsRetriedTenTimesAtMost)
{
    platform.keyboard.lagMs = 120;
    Play("a");
    EXPECT_EQ(platform.keyboard.typed, "a");
    // Down: seen after two retries (120 ms); up: likewise.
    EXPECT_EQ(std::count(platform.thread.sleeps.begin(), platform.thread.sleeps.end(), 50u), 6);
    EXPECT_EQ(platform.thread.pumps, 6);

    platform.thread.sleeps.clear();
    platform.keyboard.lagMs = 100000;  // a key the system never reflects
    const auto before = platform.keyboard.events.size();
    Play("b");
    EXPECT_EQ(platform.thread.sleeps.size(), 10u);
    EXPECT_EQ(platform.keyboard.events.size() - before, 12u) << "the key down re-sent ten times, then up";
}

TEST(KeyPlaybackResult, NothingIsSentWhileTheUserHoldsAModifier)
{
    for (const std::uint8_t key : {vk::Control, vk::Menu, vk::Shift, vk::LWin, vk::RWin, vk::Apps}) {
        SCOPED_TRACE(static_cast<int>(key));
        FakePlatform platform;
        KeyPlayer player{platform.keyboard, platform.clipboard, platform.thread, platform.codePage};
        platform.keyboard.HoldKey(key, 40);
        player.PlayKeyString("a");
        EXPECT_EQ(platform.keyboard.typed, "a");
        ASSERT_TRUE(platform.keyboard.firstEventMs);
        EXPECT_GE(*platform.keyboard.firstEventMs, 40u);
        EXPECT_TRUE(platform.keyboard.KeysDown().empty());
    }
}

TEST_F(KeyPlaybackTest, HighCharactersArePastedOneAtATimeAndTheClipboardComesBack)
{
    platform.clipboard.SetText("user's text");
    Play("a\xE9\xFD\xFE" "b");
    EXPECT_EQ(platform.keyboard.typed, "a\xE9\xFE" "b");
    EXPECT_EQ(platform.clipboard.Text(), "user's text");
    const std::vector<tests::KeyEvent> paste = {
        {vk::Control, 0}, {vk::V, 0}, {vk::V, kKeyEventKeyUp}, {vk::Control, kKeyEventKeyUp}};
    const auto& events = platform.keyboard.events;
    EXPECT_TRUE(std::equal(paste.begin(), paste.end(), events.begin() + 2)) << "raw Ctrl, no extended flag";
}

// The receiving program may still be typing earlier keys of the run when the
// paste arrives, so the wait for it to take the text grows with that backlog,
// up to two seconds.
TEST_F(KeyPlaybackTest, PasteWaitAllowsForKeysStillBeingTyped)
{
    using std::chrono::milliseconds;
    Play("\xE9");
    Play("abc\xE9");
    platform.keyboard.acceptsPaste = false;
    Play("\xE9" "d\xE9");
    Play("abc");
    player.StartRun();
    Play("\xE9");
    EXPECT_EQ(platform.clipboard.waits,
              (std::vector<milliseconds>{milliseconds(500 + 20 * 4), milliseconds(500 + 20 * (6 + 4)),
                                         milliseconds(500 + 20 * 4), milliseconds(500 + 20 * (2 + 4)),
                                         milliseconds(500 + 20 * 4)}))
        << "the count starts again after every paste, taken or not, and at each run";

    std::string longText(3000, 'x');
    Play(longText + "\xE9");
    EXPECT_EQ(platform.clipboard.waits.back(), milliseconds(2000)) << "the wait is capped";
}

TEST_F(KeyPlaybackTest, CharactersTheLayoutCannotTypeArePasted)
{
    Play("a\x01" "b");
    EXPECT_EQ(platform.keyboard.typed, "a\x01" "b");
    for (const auto& event : platform.keyboard.events) {
        EXPECT_NE(event.key, 0xFF) << "never virtual key 255";
    }
}

TEST_F(KeyPlaybackTest, PendingCtrlSurvivesAPastedCharacter)
{
    Play("\xFF\x11\xE9" "a");
    EXPECT_EQ(platform.keyboard.typed, "\xE9");
    const auto& events = platform.keyboard.events;
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[events.size() - 4], (tests::KeyEvent{vk::Control, kKeyEventExtendedKey}));
    EXPECT_EQ(events[events.size() - 2], (tests::KeyEvent{'A', kKeyEventKeyUp}));
    EXPECT_EQ(events.back(), (tests::KeyEvent{vk::Control, kKeyEventExtendedKey | kKeyEventKeyUp}));
}

TEST_F(KeyPlaybackTest, BusyClipboardIsRetriedThenReported)
{
    platform.clipboard.SetText("mine");
    platform.clipboard.busyAttempts = 3;
    Play("\xE9");
    EXPECT_EQ(platform.keyboard.typed, "\xE9");
    EXPECT_EQ(platform.clipboard.Text(), "mine");

    platform.clipboard.alwaysBusy = true;
    try {
        Play("x\xE9y");
        FAIL() << "expected an error";
    } catch (const VelmoraError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open clipboard");
    }
    EXPECT_EQ(platform.keyboard.typed, "\xE9x") << "the rest of the string is not played";
}

// Stops playback at random points (the clipboard giving out, or an event
// failing to inject) over many generated strings, and checks that nothing is
// left held down and CapsLock is as the user had it.
TEST_F(KeyPlaybackTest, InterruptedPlaybackNeverLeavesAKeyDown)
{
    std::mt19937 random(1234);
    const std::string alphabet = "aZ1!\t\r\n\xE9\xFD\xFE\xFF\x10\x11\x12\x01\x7F";
    int interrupted = 0;
    for (int round = 0; round < 300; ++round) {
        FakePlatform fresh;
        KeyPlayer freshPlayer{fresh.keyboard, fresh.clipboard, fresh.thread, fresh.codePage};
        const bool caps = round % 2 == 0;
        fresh.keyboard.SetToggled(vk::Capital, caps);
        fresh.clipboard.SetText("keep me");
        std::string keys;
        const auto length = std::uniform_int_distribution<int>(1, 30)(random);
        for (int i = 0; i < length; ++i) {
            keys += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
        }
        const int allowedOpens = std::uniform_int_distribution<int>(0, 8)(random);
        int eventsLeft = std::uniform_int_distribution<int>(0, 60)(random);
        const bool clipboardFails = round % 3 != 0;
        fresh.keyboard.beforeEvent = [&](const tests::KeyEvent&) {
            if (clipboardFails && fresh.clipboard.opens >= allowedOpens) {
                fresh.clipboard.alwaysBusy = true;
            }
            if (!clipboardFails && eventsLeft-- == 0) {
                throw std::runtime_error("injection failed");
            }
        };
        try {
            freshPlayer.PlayKeyString(keys);
        } catch (const std::exception&) {
            ++interrupted;
        }
        fresh.keyboard.beforeEvent = nullptr;
        EXPECT_TRUE(fresh.keyboard.KeysDown().empty()) << "round " << round;
        EXPECT_EQ(fresh.keyboard.IsKeyToggled(vk::Capital), caps) << "round " << round;
        if (!fresh.clipboard.alwaysBusy) {
            EXPECT_EQ(fresh.clipboard.Text(), "keep me") << "round " << round;
        }
    }
    EXPECT_GT(interrupted, 50);
}

TEST_F(KeyPlaybackTest, ClipboardIsGivenBackWhenThePasteFailsPartWay)
{
    platform.clipboard.SetText("precious");
    int opens = 0;
    platform.keyboard.beforeEvent = [&](const tests::KeyEvent& event) {
        if (event.key == vk::V && (event.flags & kKeyEventKeyUp) != 0 && opens++ == 0) {
            throw std::runtime_error("injection failed");
        }
    };
    EXPECT_THROW(Play("\xE9"), std::runtime_error);
    EXPECT_EQ(platform.clipboard.Text(), "precious");
    EXPECT_TRUE(KeysDown().empty());
}

// A stop asked for by a message that playback lets through (the program
// closing) ends it at the next unit or inside a wait, tidied up as after an
// error: nothing held, CapsLock as it was, the user's clipboard back.
TEST(KeyPlaybackStop, EndsEarlyAndLeavesNothingBehind)
{
    using Event = tests::KeyEvent;
    struct Case {
        const char* name;
        std::string keys;
        bool capsOn;
        std::uint64_t lagMs;  // makes the key-state waits retry, inside a unit
        // Asked for just before the first key event that matches.
        std::function<bool(int index, const Event&)> stopBefore;
        int stopAtServe;  // or when sent messages are let through this often; -1: never
        std::uint8_t userHolds;  // a key the user holds all along; 0: none
        int downsAfterStop;      // keys pressed after the one the stop came before
    };
    const auto atEvent = [](int n) { return [n](int index, const Event&) { return index == n; }; };
    const auto atDown = [](std::uint8_t key) {
        return [key](int, const Event& event) { return event.key == key && event.flags == 0; };
    };
    const std::string longText(300, 'q');
    const Case cases[] = {
        {"in a long text", longText, false, 0, atEvent(20), -1, 0, 0},
        {"with CapsLock on", longText, true, 0, atEvent(20), -1, 0, 0},
        {"while a key and Shift are held", "xY" + longText, false, 60, atDown('Y'), -1, 0, 0},
        {"while Ctrl is requested and held", "a\xFF\x11" "b" + longText, false, 60, atDown('B'), -1, 0, 0},
        // The paste's own Ctrl+V is not split.
        {"before a paste", "a\xE9" + longText, true, 0, atDown(vk::Control), -1, 0, 1},
        {"during a paste", "a\xE9" + longText, false, 0, atDown(vk::V), -1, 0, 0},
        {"during a pause", "a\xFF\x01" + longText, false, 0, nullptr, 5, 0, 0},
        {"while the user holds Ctrl", longText, false, 0, nullptr, 30, vk::Control, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform platform;
        KeyPlayer player{platform.keyboard, platform.clipboard, platform.thread, platform.codePage};
        platform.keyboard.SetToggled(vk::Capital, c.capsOn);
        platform.keyboard.lagMs = c.lagMs;
        platform.clipboard.SetText("keep me");
        if (c.userHolds != 0) {
            platform.keyboard.HoldKey(c.userHolds, 1 << 30);
        }
        int events = 0;
        int downsAfterStop = 0;
        std::optional<std::size_t> typedAtStop;
        const auto stop = [&] {
            typedAtStop = platform.keyboard.typed.size();
            player.RequestStop();
        };
        platform.keyboard.beforeEvent = [&](const Event& event) {
            if (typedAtStop && event.flags == 0 && event.key != vk::Capital) {
                ++downsAfterStop;
            }
            if (c.stopBefore && !typedAtStop && c.stopBefore(events, event)) {
                stop();
            }
            ++events;
        };
        platform.thread.onServe = [&] {
            if (platform.thread.serves == c.stopAtServe) {
                stop();
            }
        };

        EXPECT_THROW(player.PlayKeyString(c.keys), RunStopped);
        platform.keyboard.beforeEvent = nullptr;
        EXPECT_TRUE(platform.keyboard.KeysDown().empty());
        EXPECT_EQ(platform.keyboard.IsKeyToggled(vk::Capital), c.capsOn);
        EXPECT_EQ(platform.clipboard.Text(), "keep me");
        ASSERT_TRUE(typedAtStop.has_value());
        EXPECT_EQ(downsAfterStop, c.downsAfterStop);
        EXPECT_LE(platform.keyboard.typed.size(), *typedAtStop + 1) << "only the character under way is finished";
        EXPECT_LT(std::accumulate(platform.thread.sleeps.begin(), platform.thread.sleeps.end(), 0u), 1000u)
            << "no wait runs to its end";
        EXPECT_TRUE(player.StopRequested()) << "the request holds until cleared";
    }
}

}  // namespace
}  // namespace velmora
