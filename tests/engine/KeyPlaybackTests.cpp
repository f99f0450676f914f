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

// What each SendInput call carries: a chord's modifiers and key together,
// every event with its scan code and the program's mark, the extended flag
// exactly for the extended keys, and a modifier the user still holds (latched
// by StickyKeys, say, past the three seconds a run waits for it) let go
// around the chord and pressed again, in the same call.
TEST(KeyPlaybackCalls, EachChordIsOneCallOfRealKeyEvents)
{
    constexpr std::uint32_t D = 0, U = kKeyEventKeyUp, E = kKeyEventExtendedKey, X = kKeyEventUnicode;
    const auto key = [](std::uint8_t virtualKey, std::uint16_t scan, std::uint32_t flags) {
        return KeyInput{.virtualKey = virtualKey, .scanCode = scan, .flags = flags, .extraInfo = kOwnInputMark};
    };
    struct Case {
        const char* name;
        std::string keys;
        std::uint8_t userHolds;  // past the wait's limit; 0: nothing
        bool unicodeInput;
        std::vector<std::vector<KeyInput>> calls;
        std::string typed;
    };
    const Case cases[] = {
        {"a letter", "a", 0, false, {{key('A', 0x1E, D), key('A', 0x1E, U)}}, "a"},
        {"Shift and letter", "A", 0, false,
         {{key(vk::Shift, 0x2A, D), key('A', 0x1E, D), key('A', 0x1E, U), key(vk::Shift, 0x2A, U)}}, "A"},
        {"navigation keys are extended", "\xFE\x24\xFE\x2E\xFE\x25", 0, false,
         {{key(vk::Home, 0x47, E), key(vk::Home, 0x47, E | U)},
          {key(vk::Delete, 0x53, E), key(vk::Delete, 0x53, E | U)},
          {key(vk::Left, 0x4B, E), key(vk::Left, 0x4B, E | U)}},
         ""},
        {"requested Alt and Ctrl are the left keys, let go in the order pressed", "\xFF\x12\xFF\x11" "A", 0, false,
         {{key(vk::Shift, 0x2A, D), key(vk::Menu, 0x38, D), key(vk::Control, 0x1D, D), key('A', 0x1E, D),
           key('A', 0x1E, U), key(vk::Shift, 0x2A, U), key(vk::Menu, 0x38, U), key(vk::Control, 0x1D, U)}},
         ""},
        {"a pasted character", "\xE9", 0, false,
         {{key(vk::Control, 0x1D, D), key(vk::V, 0x2F, D), key(vk::V, 0x2F, U), key(vk::Control, 0x1D, U)}},
         "\xE9"},
        {"Unicode input", "\xE9", 0, true,
         {{key(0, 0xE9, X), key(0, 0xE9, X | U)}}, "\xE9"},
        {"the user's right Ctrl", "a", vk::RControl, false,
         {{key(vk::RControl, 0x1D, E | U), key('A', 0x1E, D), key('A', 0x1E, U), key(vk::RControl, 0x1D, E)}},
         "a"},
        {"the user's left Windows key around a paste", "\xE9", vk::LWin, false,
         {{key(vk::LWin, 0x5B, E | U), key(vk::Control, 0x1D, D), key(vk::V, 0x2F, D), key(vk::V, 0x2F, U),
           key(vk::Control, 0x1D, U), key(vk::LWin, 0x5B, E)}},
         "\xE9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform platform;
        KeyPlayer player{platform.keyboard, platform.clipboard, platform.thread, platform.codePage, {},
                         [&] { return c.unicodeInput; }};
        if (c.userHolds != 0) {
            platform.keyboard.HoldKey(c.userHolds, 60000);
        }
        player.PlayKeyString(c.keys);
        EXPECT_EQ(platform.keyboard.calls, c.calls);
        EXPECT_EQ(platform.keyboard.typed, c.typed);
        EXPECT_TRUE(platform.keyboard.KeysDown().empty());
        if (c.userHolds != 0) {
            EXPECT_TRUE(platform.keyboard.IsKeyDown(c.userHolds)) << "still down as the user holds it";
            EXPECT_EQ(platform.time.nowMs, kLongestKeyWaitMs) << "waited for once, three seconds";
        }
    }
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

TEST_F(KeyPlaybackTest, KeyTheSystemLeavesDownIsLetGoAgainTenTimesAtMost)
{
    platform.keyboard.lostKeyUps = 2;
    Play("a");
    EXPECT_EQ(platform.keyboard.typed, "a");
    EXPECT_EQ(platform.thread.sleeps, std::vector<std::uint32_t>(2, 50));
    EXPECT_TRUE(KeysDown().empty());

    platform.thread.sleeps.clear();
    platform.keyboard.lostKeyUps = 100;
    const auto before = platform.keyboard.events.size();
    Play("b");
    EXPECT_EQ(platform.thread.sleeps.size(), 10u);
    EXPECT_EQ(platform.keyboard.events.size() - before, 12u) << "down and up, then the up ten times more";
}

// Windows can refuse input part-way (another program blocks it): the keys
// that went down are let go, and the run stops with an error it can report.
TEST_F(KeyPlaybackTest, RefusedInputStopsWithAnErrorAndNothingDown)
{
    platform.clipboard.SetText("precious");
    platform.keyboard.acceptedEvents = 2;
    EXPECT_THROW(Play("\xE9"), VelmoraError);
    EXPECT_EQ(platform.clipboard.Text(), "precious");
    EXPECT_TRUE(KeysDown().empty());
    EXPECT_EQ(platform.keyboard.calls.back(),
              (std::vector<KeyInput>{
                  {.virtualKey = vk::V, .scanCode = 0x2F, .flags = kKeyEventKeyUp, .extraInfo = kOwnInputMark},
                  {.virtualKey = vk::Control, .scanCode = 0x1D, .flags = kKeyEventKeyUp, .extraInfo = kOwnInputMark}}));
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
    EXPECT_EQ(events[events.size() - 4], (tests::KeyEvent{vk::Control, 0}));
    EXPECT_EQ(events[events.size() - 2], (tests::KeyEvent{'A', kKeyEventKeyUp}));
    EXPECT_EQ(events.back(), (tests::KeyEvent{vk::Control, kKeyEventKeyUp}));
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

// Stops playback at random points (the clipboard giving out, or the system
// refusing input part-way) over many generated strings, and checks that nothing is
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
        const bool clipboardFails = round % 3 != 0;
        if (!clipboardFails) {
            fresh.keyboard.acceptedEvents = std::uniform_int_distribution<std::size_t>(0, 60)(random);
        }
        fresh.keyboard.beforeEvent = [&](const tests::KeyEvent&) {
            if (clipboardFails && fresh.clipboard.opens >= allowedOpens) {
                fresh.clipboard.alwaysBusy = true;
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
        std::uint64_t lagMs;  // the system shows the events late
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
        {"inside a chord with Shift", "xY" + longText, false, 60, atDown('Y'), -1, 0, 0},
        {"inside a requested Ctrl chord", "a\xFF\x11" "b" + longText, false, 60, atDown('B'), -1, 0, 0},
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
