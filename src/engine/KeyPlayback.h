#pragma once

// Plays an encoded key string (see TextExpansion.h) into the focused window as
// synthesised key events. Characters above 126, characters no key of the
// layout types, and paste escapes go through the clipboard one at a time.

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/Clipboard.h"
#include "platform/Keyboard.h"
#include "platform/Thread.h"

namespace velmora {

inline constexpr std::string_view kCannotOpenClipboard = "Cannot open clipboard";

// Leaves a run that was asked to stop (the program is closing). Not an error:
// nobody is told, and on its way out playback tidies up as after an error.
class RunStopped : public std::exception {
public:
    const char* what() const noexcept override { return "The macro was stopped"; }
};

// Lends the clipboard to the program for one paste: the user's text is held
// on construction and given back by GiveBack, or, on any other way out, by the
// destructor as far as the clipboard can still be opened. Other programs hold
// the clipboard open for moments, so every step retries for a short while
// before it raises "Cannot open clipboard".
class BorrowedClipboard {
public:
    BorrowedClipboard(IClipboard& clipboard, IThread& thread, std::string_view text);
    BorrowedClipboard(const BorrowedClipboard&) = delete;
    BorrowedClipboard& operator=(const BorrowedClipboard&) = delete;
    ~BorrowedClipboard();

    // Waits for the paste to take the text, at most timeout, then restores
    // the user's text; true when the paste took it.
    bool GiveBack(std::chrono::milliseconds timeout);

private:
    IClipboard& m_clipboard;
    IThread& m_thread;
    std::string m_held;
    bool m_lent = false;
};

class KeyPlayer {
public:
    // slowdown tells whether the user asked for slower playback; it is asked
    // afresh at every slowed event. Empty means never.
    KeyPlayer(IKeyboard& keyboard, IClipboard& clipboard, IThread& thread, std::function<bool()> slowdown = {});

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
    // second start's /shutdown, the end of the session), then throws
    // RunStopped if one of them asked for a stop.
    void StopPoint();

    // Puts the text on the clipboard, plays Ctrl+V and gives the user's text
    // back once the paste has taken it.
    void PasteText(std::string_view text);

    void WaitForModifiersReleased(bool includeShift);
    void WaitForKeyState(std::uint8_t virtualKey, bool down);
    void SendKeyEvent(std::uint8_t virtualKey, std::uint32_t flags);
    void SlowdownPause();

private:
    struct PlaybackState;
    void PressKey(PlaybackState& state, std::uint16_t key);
    void Press(PlaybackState& state, std::uint8_t virtualKey, std::uint32_t flags);
    void Release(PlaybackState& state, std::uint8_t virtualKey, std::uint32_t flags);
    void FlipCapsLock(PlaybackState& state, bool slowed);
    void Recover(PlaybackState& state) noexcept;

    void PasteCharacter(PlaybackState& state, char character);
    void Inject(std::uint8_t virtualKey, std::uint32_t flags);
    void GiveBack(BorrowedClipboard& clipboard);

    IKeyboard& m_keyboard;
    IClipboard& m_clipboard;
    IThread& m_thread;
    std::function<bool()> m_slowdown;
    bool m_stopRequested = false;
    // Key events sent since a paste was last taken: the receiving program may
    // still be working through them when the next paste arrives.
    std::size_t m_eventsSincePaste = 0;
};

}  // namespace velmora
