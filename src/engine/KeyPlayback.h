#pragma once

// Plays an encoded key string (see TextExpansion.h) into the focused window as
// synthesised key events. Characters without a key go through the clipboard
// one at a time, or as Unicode input: those above 126, those no key of the
// layout types alone or with Shift (AltGr characters), paste escapes and
// Unicode characters.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Clipboard.h"
#include "platform/CodePage.h"
#include "platform/Keyboard.h"
#include "platform/Thread.h"

namespace velmora {

inline constexpr std::string_view kCannotOpenClipboard = "Cannot open clipboard";

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
    // afresh at every slowed event. unicodeInput tells whether characters
    // without a key go as Unicode input rather than through the clipboard,
    // asked afresh for each. Empty means never. Without a code page, ANSI is
    // taken as Latin-1.
    KeyPlayer(IKeyboard& keyboard, IClipboard& clipboard, IThread& thread, std::function<bool()> slowdown = {},
              std::function<bool()> unicodeInput = {}, ICodePage* codePage = nullptr);

    // Blocks until the whole string is played. If it stops early (a clipboard
    // error), every modifier it pressed is released and CapsLock is restored
    // before the error moves on.
    void PlayKeyString(std::string keys);

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

    std::uint16_t KeyFor(unsigned char character);
    void TypeWithoutKey(PlaybackState& state, std::optional<char> ansi, std::optional<char32_t> unicode);
    // unicode is the character itself (0 when unknown), for the clipboard's
    // Unicode text.
    void PasteCharacter(PlaybackState& state, char character, char32_t unicode);
    void Inject(std::uint8_t virtualKey, std::uint32_t flags);
    void GiveBack(BorrowedClipboard& clipboard);

    IKeyboard& m_keyboard;
    IClipboard& m_clipboard;
    IThread& m_thread;
    std::function<bool()> m_slowdown;
    std::function<bool()> m_unicodeInput;
    ICodePage& m_codePage;
    // Key events sent since a paste was last taken: the receiving program may
    // still be working through them when the next paste arrives.
    std::size_t m_eventsSincePaste = 0;
};

}  // namespace velmora
