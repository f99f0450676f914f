#pragma once

// Fakes of the system services the engine uses. The keyboard keeps a key
// state table driven by the events it receives (optionally lagging behind
// them) and by keys the user holds for a while, logs every event, and works
// out the text a focused edit control would show, pasting from the fake clipboard on Ctrl+V. Its layout is one of
// four Windows layouts, and its ANSI code page one of three.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fakes/FakeCodePage.h"
#include "fakes/FakeFileSystem.h"
#include "platform/Platform.h"

namespace velmora::tests {

struct KeyEvent {
    std::uint8_t key;
    std::uint32_t flags;
    bool operator==(const KeyEvent&) const = default;
};

// A virtual clock shared by the fakes, advanced by the fake thread's sleeps.
struct FakeTime {
    std::uint64_t nowMs = 0;
};

// The steps a test can make fail.
enum class ClipboardStep { Save, Offer, Replace, Restore };

// A picture the clipboard holds as a system object (a bitmap, say).
struct FakePicture : ClipboardObject {
    explicit FakePicture(std::string bits) : pixels(std::move(bits)) {}
    std::string pixels;
    std::size_t Size() const override { return pixels.size(); }
};

// A clipboard of formats. As on Windows, a format offered late is handed over
// when a program asks for it, registered names get ids from 0xC000, and the
// clipboard knows its owner and counts its changes.
class FakeClipboard : public IClipboard {
public:
    ClipboardContent content;
    // Emptied last by the program (not by another one), and changed since not
    // at all, unless sequence moved on.
    bool ours = false;
    std::uint32_t sequence = 0;
    // What another program does while the program waits for its paste.
    std::function<void()> duringWait;
    int busyAttempts = 0;  // the next attempts to open it fail
    bool alwaysBusy = false;
    // The next calls of a step that fail: a save as if the clipboard were
    // busy, an offer or a replacement part-way, after emptying the clipboard.
    std::map<ClipboardStep, int> failures;
    bool offered = false;
    bool taken = false;
    int opens = 0;
    std::vector<std::chrono::milliseconds> waits;
    // The content each paste found on the clipboard.
    std::vector<ClipboardContent> pasted;

    void SetText(std::string_view text) { content = {AnsiText(text)}; }
    // The bytes of a format, or nothing when the clipboard lacks it.
    std::optional<std::string> Bytes(std::uint32_t id) const
    {
        for (const ClipboardFormat& format : content) {
            if (format.id == id) {
                return format.bytes;
            }
        }
        return std::nullopt;
    }
    // The CF_TEXT a program reads, empty when there is none.
    std::string Text() const
    {
        const std::string bytes = Bytes(kClipboardText).value_or(std::string());
        return bytes.substr(0, bytes.find('\0'));
    }

    std::optional<ClipboardSnapshot> Save(std::size_t limit) override
    {
        if (!Open() || Fails(ClipboardStep::Save)) {
            return std::nullopt;
        }
        std::size_t total = 0;
        for (const ClipboardFormat& format : content) {
            total += format.object ? format.object->Size() : format.bytes.size();
            if (total > limit) {
                return ClipboardSnapshot{.formats = {}, .tooLarge = true};
            }
        }
        // Reading renders whatever is offered late.
        taken = taken || !m_late.empty();
        m_late.clear();
        return ClipboardSnapshot{.formats = content, .tooLarge = false};
    }
    bool Replace(const ClipboardContent& newContent) override
    {
        if (!Empty() || Fails(ClipboardStep::Replace)) {
            return false;
        }
        content = newContent;
        return true;
    }
    RestoreResult Restore(const ClipboardContent& newContent) override
    {
        if (!Open()) {
            return RestoreResult::Busy;
        }
        if (!ours || sequence != m_ownSequence) {
            return RestoreResult::Changed;
        }
        if (!Empty() || Fails(ClipboardStep::Restore)) {
            return RestoreResult::Busy;
        }
        content = newContent;
        return RestoreResult::Restored;
    }
    bool Offer(const ClipboardContent& late, const ClipboardContent& atOnce) override
    {
        if (!Empty() || Fails(ClipboardStep::Offer)) {
            return false;
        }
        content = atOnce;
        content.insert(content.end(), late.begin(), late.end());
        for (const ClipboardFormat& format : late) {
            m_late.push_back(format.id);
        }
        offered = true;
        taken = false;
        return true;
    }
    bool WaitUntilTaken(std::chrono::milliseconds timeout) override
    {
        waits.push_back(timeout);
        if (duringWait) {
            duringWait();
        }
        return taken;
    }

    // Another program empties the clipboard and puts its own content there.
    void CopyElsewhere(ClipboardContent copied)
    {
        content = std::move(copied);
        m_late.clear();
        offered = false;
        ours = false;
        ++sequence;
    }
    // Another program adds a format without emptying the clipboard.
    void AddElsewhere(ClipboardFormat added)
    {
        content.push_back(std::move(added));
        ++sequence;
    }
    std::uint32_t RegisterFormat(std::string_view name) override
    {
        const auto [entry, added] = m_registered.try_emplace(std::string(name), 0xC000u + m_registered.size());
        return entry->second;
    }

    // What a program pasting now receives: its CF_TEXT, and the Unicode
    // text that a Unicode program takes instead when there is one.
    std::string Paste()
    {
        pasted.push_back(content);
        if (!m_late.empty()) {
            taken = true;
            m_late.clear();
        }
        return Text();
    }
    std::optional<std::u32string> UnicodeText() const
    {
        const std::optional<std::string> bytes = Bytes(kClipboardUnicodeText);
        if (!bytes) {
            return std::nullopt;
        }
        std::u32string text;
        for (std::size_t i = 0; i + 1 < bytes->size() && ((*bytes)[i] != 0 || (*bytes)[i + 1] != 0); i += 2) {
            const auto unit = static_cast<char32_t>(static_cast<unsigned char>((*bytes)[i]) |
                                                    static_cast<unsigned char>((*bytes)[i + 1]) << 8);
            if (unit >= 0xDC00 && unit < 0xE000 && !text.empty()) {  // joins the high surrogate before it
                text.back() = 0x10000 + ((text.back() - 0xD800) << 10) + (unit - 0xDC00);
            } else {
                text += unit;
            }
        }
        return text;
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
    bool Empty()
    {
        if (!Open()) {
            return false;
        }
        content.clear();
        m_late.clear();
        offered = false;
        ours = true;
        m_ownSequence = ++sequence;
        return true;
    }
    bool Fails(ClipboardStep step)
    {
        auto failing = failures.find(step);
        if (failing == failures.end() || failing->second <= 0) {
            return false;
        }
        --failing->second;
        return true;
    }

    std::vector<std::uint32_t> m_late;
    std::uint32_t m_ownSequence = 0;
    std::map<std::string, std::uint32_t, std::less<>> m_registered;
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
    // The fake clock's time of the first event, if any was sent.
    std::optional<std::uint64_t> firstEventMs;
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
    // Every Send call with its events, as the system received them.
    std::vector<std::vector<KeyInput>> calls;
    // Key-up events the system loses: the key stays down.
    int lostKeyUps = 0;
    // The system takes only this many more events (input blocked); none
    // refused when empty.
    std::optional<std::size_t> acceptedEvents;
    // The window that has the keyboard, and this program's own standing.
    ForegroundWindow foreground{.exists = true, .own = false,
                                .standing = {.known = true, .integrity = 0x2000, .elevated = false},
                                .title = u"Untitled - Notepad"};
    ProcessStanding ownStanding{.known = true, .integrity = 0x2000, .elevated = false};

    std::size_t Send(std::span<const KeyInput> inputs) override;
    std::uint16_t ScanCode(std::uint8_t key) override;
    ForegroundWindow Foreground() override { return foreground; }
    ProcessStanding OwnStanding() override { return ownStanding; }
    std::int16_t ScanCharacter(char character) override;

    // Either side of a modifier counts for its generic key, and the generic
    // key the user holds counts as the left one.
    bool IsKeyDown(std::uint8_t key) override
    {
        Apply();
        for (const std::uint8_t k : Family(key)) {
            if (m_down[k] || (UserHolds(k) && !m_lifted[k])) {
                return true;
            }
        }
        return false;
    }
    bool IsKeyToggled(std::uint8_t key) override
    {
        Apply();
        return m_toggled[key];
    }

    // The user holds a key for this many milliseconds of the fake clock.
    void HoldKey(std::uint8_t key, std::uint64_t ms)
    {
        m_userHoldsUntil[key] = m_time.nowMs + ms;
        m_lifted[key] = false;
    }
    // True while the user still holds the key.
    bool UserHolds(std::uint8_t key) const
    {
        const auto held = m_userHoldsUntil.find(key);
        return held != m_userHoldsUntil.end() && m_time.nowMs < held->second;
    }
    void SetToggled(std::uint8_t key, bool on)
    {
        m_toggled[key] = on;
        if (key == vk::Capital) {
            m_typingCaps = on;
        }
    }
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

    void Sent()
    {
        if (!firstEventMs) {
            firstEventMs = m_time.nowMs;
        }
    }

    void KeyEventSent(std::uint8_t key, std::uint32_t flags);
    static std::vector<std::uint8_t> Family(std::uint8_t key);
    // A modifier as the focused window sees it: sent down, or held by the user.
    bool ModifierDown(std::uint8_t key);
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
    std::array<bool, 256> m_lifted{};      // a key the user holds, let go by an event
    char16_t m_highSurrogate = 0;
    bool m_typingCaps = false;
    std::map<std::uint8_t, std::uint64_t> m_userHoldsUntil;
};

class FakeThread : public IThread {
public:
    explicit FakeThread(FakeTime& time) : m_time(time) {}
    std::vector<std::uint32_t> sleeps;
    int serves = 0;
    // What another program's SendMessage would do when it is let through.
    std::function<void()> onServe;

    void Sleep(std::uint32_t milliseconds) override
    {
        sleeps.push_back(milliseconds);
        m_time.nowMs += milliseconds;
    }
    std::uint64_t Milliseconds() override { return m_time.nowMs; }
    void ServeSentMessages() override
    {
        ++serves;
        if (onServe) {
            onServe();
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
        return {{u"January", u"February", u"March", u"April", u"May", u"June", u"July", u"August", u"September", u"October",
                 u"November", u"December"},
                {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"},
                {u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday"},
                {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"},
                u"/",
                u":"};
    }
    static LocaleNames GermanNames()
    {
        return {{u"Januar", u"Februar", u"März", u"April", u"Mai", u"Juni", u"Juli", u"August", u"September", u"Oktober",
                 u"November", u"Dezember"},
                {u"Jan", u"Feb", u"Mär", u"Apr", u"Mai", u"Jun", u"Jul", u"Aug", u"Sep", u"Okt", u"Nov", u"Dez"},
                {u"Sonntag", u"Montag", u"Dienstag", u"Mittwoch", u"Donnerstag", u"Freitag", u"Samstag"},
                {u"So", u"Mo", u"Di", u"Mi", u"Do", u"Fr", u"Sa"},
                u".",
                u":"};
    }
};

class FakeShell : public IShell {
public:
    std::vector<std::string> calls;
    // The account does not hold the shutdown right.
    bool privilegeRefused = false;
    // ExitWindowsEx fails.
    bool endSessionFails = false;
    bool EnableShutdownPrivilege() override
    {
        calls.push_back("EnableShutdownPrivilege");
        return !privilegeRefused;
    }
    void StartProgram(const std::string& commandLine) override { calls.push_back("WinExec " + commandLine); }
    void OpenDocument(const std::string& quotedPath) override { calls.push_back("ShellExecute open " + quotedPath); }
    bool EndSession(std::uint32_t flags) override
    {
        calls.push_back("ExitWindowsEx " + std::to_string(flags));
        return !endSessionFails;
    }
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

}  // namespace velmora::tests
