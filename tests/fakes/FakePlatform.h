#pragma once

// Fakes of the system services the engine uses. The keyboard keeps a key
// state table driven by the events it receives (optionally lagging behind
// them), logs every event, and works out the text a focused edit control
// would show, pasting from the fake clipboard on Ctrl+V. Its layout is one of
// four Windows layouts, and its ANSI code page one of three.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fakes/FakeCodePage.h"
#include "fakes/FakeFileSystem.h"
#include "platform/Platform.h"

namespace velmora::testing {

struct KeyEvent {
    std::uint8_t key;
    std::uint32_t flags;
    bool operator==(const KeyEvent&) const = default;
};

// A virtual clock shared by the fakes, advanced by the fake thread's sleeps.
struct FakeTime {
    std::uint64_t nowMs = 0;
};

class FakeClipboard : public IClipboard {
public:
    std::optional<std::string> text;  // nothing: the clipboard holds no text
    int busyAttempts = 0;             // the next attempts to open it fail
    bool alwaysBusy = false;
    bool offered = false;
    bool taken = false;
    int opens = 0;

    std::optional<std::string> ReadText() override
    {
        if (!Open()) {
            return std::nullopt;
        }
        return text.value_or(std::string());
    }
    bool ReplaceText(std::string_view newText) override
    {
        if (!Open()) {
            return false;
        }
        text = std::string(newText.substr(0, newText.find('\0')));
        offered = false;
        return true;
    }
    bool OfferText(std::string_view newText) override
    {
        if (!ReplaceText(newText)) {
            return false;
        }
        offered = true;
        taken = false;
        return true;
    }
    std::vector<std::chrono::milliseconds> waits;
    bool WaitUntilTaken(std::chrono::milliseconds idleTimeout) override
    {
        waits.push_back(idleTimeout);
        return taken;
    }

    // What a program pasting now receives.
    std::string Paste()
    {
        taken = offered;
        return text.value_or(std::string());
    }

private:
    bool Open()
    {
        ++opens;
        if (alwaysBusy) {
            return false;
        }
        if (busyAttempts > 0) {
            --busyAttempts;
            return false;
        }
        return true;
    }
};

// The keyboard layouts of Windows that the fake models, by virtual key:
// German QWERTZ and French AZERTY with their AltGr characters, and Russian
// with no Latin letters at all.
enum class Layout { Us, German, French, Russian };

class FakeKeyboard : public IKeyboard {
public:
    FakeKeyboard(FakeTime& time, FakeClipboard& clipboard, FakeCodePage& codePage)
        : m_time(time), m_clipboard(clipboard), m_codePage(codePage)
    {
    }

    // Milliseconds before an event shows in the key state.
    std::uint64_t lagMs = 0;
    std::vector<KeyEvent> events;
    // Events and looks at the key state in order: "+41" down, "-41" up,
    // "?41" a look (hex virtual keys; "+10x" an extended event).
    std::vector<std::string> trace;
    // The text a focused edit control would show, in the code page's bytes
    // (characters the code page cannot hold are left out) and in Unicode.
    std::string typed;
    std::u32string typedUnicode;
    // Answers of ScanCharacter that differ from the layout's (Wine's, say).
    std::map<char, std::int16_t> oddAnswers;
    Layout layout = Layout::Us;
    // The focused window pastes on Ctrl+V.
    bool acceptsPaste = true;
    // Called before each event is logged: a test's way to interrupt playback.
    std::function<void(const KeyEvent&)> beforeEvent;

    void KeybdEvent(std::uint8_t key, std::uint32_t flags) override
    {
        const KeyEvent event{key, flags};
        if (beforeEvent) {
            beforeEvent(event);
        }
        events.push_back(event);
        trace.push_back(Describe((flags & kKeyEventKeyUp) ? '-' : '+', key) +
                        ((flags & kKeyEventExtendedKey) ? "x" : ""));
        const bool down = (flags & kKeyEventKeyUp) == 0;
        m_pending.push_back({m_time.nowMs + lagMs, key, down});
        Type(key, down);
    }

    void SendUnicode(char32_t character) override;
    std::int16_t ScanCharacter(char character) override;

    bool IsKeyDown(std::uint8_t key) override
    {
        trace.push_back(Describe('?', key));
        Apply();
        const bool userHolds = UserHolds(key);
        return m_down[key] || userHolds;
    }
    bool IsKeyToggled(std::uint8_t key) override
    {
        Apply();
        return m_toggled[key];
    }

    // The user holds a key for this many looks at its state.
    void HoldKey(std::uint8_t key, int looks) { m_userHolds[key] = looks; }
    void SetToggled(std::uint8_t key, bool on)
    {
        m_toggled[key] = on;
        if (key == vk::Capital) {
            m_typingCaps = on;
        }
    }
    int Looks(std::uint8_t key) const { return m_looks.count(key) ? m_looks.at(key) : 0; }
    // Keys the state table shows down (ignoring the user's own).
    std::vector<std::uint8_t> KeysDown()
    {
        Apply();
        std::vector<std::uint8_t> keys;
        for (int k = 0; k < 256; ++k) {
            if (m_down[static_cast<std::size_t>(k)]) {
                keys.push_back(static_cast<std::uint8_t>(k));
            }
        }
        return keys;
    }

    static std::string Describe(char kind, std::uint8_t key)
    {
        static const char digits[] = "0123456789ABCDEF";
        return {kind, digits[key >> 4], digits[key & 15]};
    }

private:
    struct Pending {
        std::uint64_t at;
        std::uint8_t key;
        bool down;
    };

    void Apply()
    {
        while (!m_pending.empty() && m_pending.front().at <= m_time.nowMs) {
            const Pending p = m_pending.front();
            m_pending.erase(m_pending.begin());
            if (p.down && !m_down[p.key] && p.key == vk::Capital) {
                m_toggled[p.key] = !m_toggled[p.key];
            }
            m_down[p.key] = p.down;
        }
    }

    bool UserHolds(std::uint8_t key)
    {
        ++m_looks[key];
        auto held = m_userHolds.find(key);
        if (held == m_userHolds.end() || held->second <= 0) {
            return false;
        }
        --held->second;
        return true;
    }

    // A simple model of an edit control.
    void Type(std::uint8_t key, bool down);
    void Emit(char32_t character);

    FakeTime& m_time;
    FakeClipboard& m_clipboard;
    FakeCodePage& m_codePage;
    std::vector<Pending> m_pending;
    std::array<bool, 256> m_down{};
    std::array<bool, 256> m_toggled{};
    std::array<bool, 256> m_typingDown{};  // immediate state, for the text model
    bool m_typingCaps = false;
    std::map<std::uint8_t, int> m_userHolds;
    std::map<std::uint8_t, int> m_looks;
};

class FakeThread : public IThread {
public:
    explicit FakeThread(FakeTime& time) : m_time(time) {}
    std::vector<std::uint32_t> sleeps;
    int pumps = 0;
    std::function<void()> onPump;

    void Sleep(std::uint32_t milliseconds) override
    {
        sleeps.push_back(milliseconds);
        m_time.nowMs += milliseconds;
    }
    void PumpMessages() override
    {
        ++pumps;
        if (onPump) {
            onPump();
        }
    }

private:
    FakeTime& m_time;
};

class FakeClock : public IClock, public ILocale {
public:
    LocalTime time{2026, 12, 6, 0, 19, 5, 9};  // Sunday 6 December 2026, 19:05:09
    LocaleNames names = EnglishNames();
    int reads = 0;
    int localeReads = 0;

    LocalTime Now() override
    {
        ++reads;
        return time;
    }
    LocaleNames ReadNames() override
    {
        ++localeReads;
        return names;
    }

    static LocaleNames EnglishNames()
    {
        return {{"January", "February", "March", "April", "May", "June", "July", "August", "September", "October",
                 "November", "December"},
                {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
                {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
                {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
                "/",
                ":"};
    }
    static LocaleNames GermanNames()
    {
        return {{"Januar", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober",
                 "November", "Dezember"},
                {"Jan", "Feb", "M\xE4r", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
                {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"},
                {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"},
                ".",
                ":"};
    }
};

class FakeShell : public IShell {
public:
    std::vector<std::string> calls;
    void StartProgram(const std::string& commandLine) override { calls.push_back("WinExec " + commandLine); }
    void OpenDocument(const std::string& quotedPath) override { calls.push_back("ShellExecute open " + quotedPath); }
    void EndSession(std::uint32_t flags) override { calls.push_back("ExitWindowsEx " + std::to_string(flags)); }
    void StartScreenSaver() override { calls.push_back("SC_SCREENSAVE"); }
    void TurnMonitorOff() override { calls.push_back("SC_MONITORPOWER 2"); }
    void SendMediaCommand(const std::string& command) override { calls.push_back("mci " + command); }
};

struct FakePlatform {
    FakeTime time;
    FakeClipboard clipboard;
    FakeCodePage codePage;
    FakeKeyboard keyboard{time, clipboard, codePage};
    FakeThread thread{time};
    FakeClock clock;
    FakeShell shell;
    FakeFileSystem files;

    Platform Get() { return {keyboard, clipboard, thread, clock, clock, shell, files, codePage}; }
};

}  // namespace velmora::testing
