#pragma once

// Plays an encoded key string (see TextExpansion.h) into the focused window as
// synthesised key events. Characters without a key go through the clipboard
// one at a time, or as Unicode input: those above 126, those no key of the
// layout types alone or with Shift (AltGr characters), paste escapes and
// Unicode characters.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clipboard.h"
#include "platform/CodePage.h"
#include "platform/Keyboard.h"
#include "platform/Thread.h"

namespace velmora {

inline constexpr std::string_view kCannotOpenClipboard = "Cannot open clipboard";
inline constexpr std::string_view kClipboardTooLarge = "Clipboard too large to keep";
inline constexpr std::string_view kKeysRefused = "Windows did not take the typed keys";

// How long a run waits for the user to let go of keys before it types anyway.
inline constexpr std::uint64_t kLongestKeyWaitMs = 3000;

// Keys whose events carry the extended flag, whatever the layout's scan code says.
bool IsExtendedKey(std::uint8_t virtualKey);

// Leaves a run that was asked to stop (the program is closing). Not an error:
// nobody is told, and on its way out playback tidies up as after an error.
class RunStopped : public std::exception {
public:
    const char* what() const noexcept override { return "The macro was stopped"; }
};

// The most clipboard bytes a paste keeps aside to give back: a 4K screenshot
// (33 MB, three times over with the DIB and DIBV5 the system makes of the
// bitmap) fits; a loan of that takes about a second under Wine, so much
// larger ones are refused.
inline constexpr std::size_t kLargestKeptClipboard = 112u << 20;

// A give-back the clipboard is too busy for is tried again this often, for
// this long, before the user is told.
inline constexpr std::uint32_t kGiveBackRetryMs = 50;
inline constexpr std::uint64_t kGiveBackPatienceMs = 5000;
inline constexpr std::u16string_view kClipboardNotGivenBack =
    u"Velmora could not give your clipboard back: another program kept it open.";

// The user's clipboard content while a paste has it lent out, and on its way
// back. It is given back only over what the program itself put there, never
// over what another program has copied since; then, or once that has
// happened, it is wiped and freed at once.
class HeldClipboard {
public:
    HeldClipboard(IClipboard& clipboard, IThread& thread) : m_clipboard(clipboard), m_thread(thread) {}
    HeldClipboard(const HeldClipboard&) = delete;
    HeldClipboard& operator=(const HeldClipboard&) = delete;
    // One last try, then wiped.
    ~HeldClipboard();

    // Keeps the content of a new loan; anything still held must be settled first.
    void Hold(ClipboardContent content);
    // Gives the content back now, or, when the clipboard is busy, from the
    // owner's timer (StartRetryTimer, then RetryGiveBack) for up to
    // kGiveBackPatienceMs. Returns at once either way.
    void GiveBack() noexcept;
    // A give-back still waiting for the clipboard.
    bool Waiting() const { return m_waitingSince.has_value(); }
    // The owner's timer: tries again; false once nothing is left to try, the
    // timer can stop. On giving up, GaveUp is called, once.
    bool RetryGiveBack() noexcept;
    // Before a new loan: a give-back still waiting is tried for a moment
    // more; raises kCannotOpenClipboard while the clipboard stays busy.
    void Settle();

    // Set by the owner of the program's timers; either may be empty.
    std::function<void()> StartRetryTimer;
    std::function<void()> GaveUp;

private:
    // Tries once: true when nothing is left to give back.
    bool TryOnce() noexcept;
    void Wipe() noexcept;

    IClipboard& m_clipboard;
    IThread& m_thread;
    ClipboardContent m_content;
    std::optional<std::uint64_t> m_waitingSince;
};

// Lends the clipboard to the program for one paste: every format of the
// user's content is kept on construction and given back by GiveBack, or, on
// any other way out, by the destructor (both through HeldClipboard). A
// clipboard too large to keep is left alone and the paste refused with
// kClipboardTooLarge. What the program puts on the clipboard, the user's
// content given back included, carries first the marks that keep it out of
// clipboard history and the cloud clipboard. Other programs hold the
// clipboard open for moments, so saving and offering retry for a short
// while before they raise "Cannot open clipboard".
class BorrowedClipboard {
public:
    // offered: the formats a paste takes, rendered when it asks for them.
    BorrowedClipboard(IClipboard& clipboard, IThread& thread, HeldClipboard& held, ClipboardContent offered);
    BorrowedClipboard(const BorrowedClipboard&) = delete;
    BorrowedClipboard& operator=(const BorrowedClipboard&) = delete;
    ~BorrowedClipboard();

    // Waits for the paste to take the offer, at most timeout, then gives the
    // user's content back; true when the paste took it.
    bool GiveBack(std::chrono::milliseconds timeout);

private:
    IClipboard& m_clipboard;
    HeldClipboard& m_held;
    bool m_lent = false;
};

class KeyPlayer {
public:
    // codePage maps the ANSI bytes of the key string to Unicode. slowdown
    // tells whether the user asked for slower playback; it is asked afresh at
    // every slowed event. unicodeInput tells whether characters without a key
    // go as Unicode input rather than through the clipboard, asked afresh for
    // each. Empty means never.
    KeyPlayer(IKeyboard& keyboard, IClipboard& clipboard, IThread& thread, ICodePage& codePage,
              std::function<bool()> slowdown = {}, std::function<bool()> unicodeInput = {});

    // Blocks until the whole string is played. If it stops early (a clipboard
    // error, or a stop request), every key it pressed is released and CapsLock
    // is restored before the error moves on.
    void PlayKeyString(std::string keys);

    // Makes playback throw RunStopped at its next stop point: between two
    // units, or inside a wait. Meant for the handlers of the messages that
    // StopPoint lets through; holds until ClearStopRequest.
    void RequestStop() { m_stopRequested = true; }
    bool StopRequested() const { return m_stopRequested; }
    void ClearStopRequest() { m_stopRequested = false; }
    // Lets the messages other programs have sent to this one through (a
    // second start's /shutdown, the end of the session), calls AtStopPoint,
    // then throws RunStopped if one of them asked for a stop.
    void StopPoint();
    std::function<void()> AtStopPoint;

    // Puts the text on the clipboard, plays Ctrl+V and gives the user's
    // content back once the paste has taken it.
    // Both forms of the text are offered: Unicode, and ANSI with what the
    // code page holds.
    void PasteText(std::string_view ansiText, std::u16string_view unicodeText);

    // Leaves the text on the clipboard for the user to paste (both forms, as
    // PasteText offers them); nothing is given back.
    void LeaveOnClipboard(std::string_view ansiText, std::u16string_view unicodeText);

    // The user's clipboard while a paste has it, and until it is back.
    HeldClipboard& Held() { return m_held; }

    // A macro run starts: keys sent before it are no backlog of its pastes,
    // and the waits for the user's keys start afresh.
    void StartRun()
    {
        m_eventsSincePaste = 0;
        m_keysWaitExpired = false;
    }

    // Waits, without handling posted messages, until none of the keys is
    // down: at most kLongestKeyWaitMs in a run. A key still down then (latched
    // by StickyKeys, or stuck) is waited for no more in that run; the chords
    // lift the user's modifiers instead.
    void WaitForKeysReleased(std::span<const std::uint8_t> keys);
    void WaitForModifiersReleased(bool includeShift);

private:
    struct PlaybackState;
    void PressKey(PlaybackState& state, std::uint16_t key);
    void FlipCapsLock(PlaybackState& state, bool slowed);
    KeyInput Stroke(std::uint8_t virtualKey, bool up);
    // Sends the events in one call, wrapped in the lifting and pressing again
    // of any modifier the user still holds, then pauses once per event when
    // slowed and the user asked for slower playback.
    void SendChord(std::vector<KeyInput> events, bool slowed);
    void WaitForKeyUp(std::uint8_t virtualKey);
    void SlowdownPause();
    void Recover(PlaybackState& state) noexcept;

    std::uint16_t KeyFor(unsigned char character);
    // ansi: the character's bytes in the code page, empty when it has none.
    void TypeWithoutKey(const std::string& ansi, std::optional<char32_t> unicode);
    // unicode is the character itself (nothing when unknown), for the
    // clipboard's Unicode text.
    void PasteCharacter(const std::string& ansi, std::optional<char32_t> unicode);
    void GiveBack(BorrowedClipboard& clipboard);

    IKeyboard& m_keyboard;
    IClipboard& m_clipboard;
    IThread& m_thread;
    std::function<bool()> m_slowdown;
    bool m_stopRequested = false;
    std::function<bool()> m_unicodeInput;
    ICodePage& m_codePage;
    // Key events of this run sent since the last paste: the receiving program
    // may still be working through them when the next paste arrives.
    std::size_t m_eventsSincePaste = 0;
    bool m_keysWaitExpired = false;
    // How many of its own events the last chord got through.
    std::size_t m_chordEventsTaken = 0;
    HeldClipboard m_held{m_clipboard, m_thread};
};

}  // namespace velmora
