#include "engine/KeyPlayback.h"

#include <algorithm>
#include <utility>

#include "engine/TextExpansion.h"
#include "macros/Error.h"

namespace velmora {

namespace {

// Another program holding the clipboard usually lets go within milliseconds.
constexpr int kClipboardAttempts = 25;
constexpr std::uint32_t kClipboardRetryDelayMs = 10;
// How long a paste may take to read its text before the user's content
// returns: a moment, plus time for the receiving program to work through the
// keys of this run sent before the paste (a slow edit control handles a
// character in ~10 ms), but never more than two seconds, which is all a
// program that never reads the clipboard costs.
constexpr auto kPasteTimeout = std::chrono::milliseconds(500);
constexpr auto kPasteTimePerEvent = std::chrono::milliseconds(20);
constexpr auto kLongestPasteWait = std::chrono::milliseconds(2000);
// Formats that keep the program's own content out of clipboard history and
// the cloud clipboard.
constexpr std::string_view kPrivateMarkNames[] = {"ExcludeClipboardContentFromMonitorProcessing",
                                                  "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"};
constexpr int kKeyStateTries = 10;
constexpr std::uint32_t kKeyStateRetryDelayMs = 50;
constexpr std::uint32_t kPauseMs = 1000;
// A stop asked for during the pause is noticed within this time.
constexpr std::uint32_t kPauseSliceMs = 50;

template <typename Operation>
auto WithRetries(IThread& thread, Operation operation)
{
    for (int attempt = 1;; ++attempt) {
        if (auto result = operation()) {
            return result;
        }
        if (attempt == kClipboardAttempts) {
            throw VelmoraError(std::string(kCannotOpenClipboard));
        }
        thread.Sleep(kClipboardRetryDelayMs);
    }
}

// CR LF becomes LF, and a run of CRs before a LF goes with it.
std::string DropCarriageReturnsBeforeLineFeeds(std::string keys)
{
    bool beforeLineFeed = false;
    std::size_t kept = keys.size();
    for (std::size_t i = keys.size(); i-- > 0;) {
        const char c = keys[i];
        if (c == '\r' && beforeLineFeed) {
            continue;
        }
        beforeLineFeed = c == '\n' || (c == '\r' && beforeLineFeed);
        keys[--kept] = c;
    }
    return keys.substr(kept);
}

// The marks that keep content out of clipboard history, each a DWORD 0; a
// name the system refuses is left out.
ClipboardContent PrivateMarks(IClipboard& clipboard)
{
    ClipboardContent marks;
    for (const std::string_view name : kPrivateMarkNames) {
        if (const std::uint32_t id = clipboard.RegisterFormat(name); id != 0) {
            marks.push_back({id, std::string(4, '\0')});
        }
    }
    return marks;
}

// The content with the marks in place of any it carried already.
ClipboardContent Marked(ClipboardContent content, const ClipboardContent& marks)
{
    std::erase_if(content, [&](const ClipboardFormat& format) {
        return std::any_of(marks.begin(), marks.end(), [&](const ClipboardFormat& mark) { return mark.id == format.id; });
    });
    content.insert(content.end(), marks.begin(), marks.end());
    return content;
}

}  // namespace

BorrowedClipboard::BorrowedClipboard(IClipboard& clipboard, IThread& thread, ClipboardContent offered)
    : m_clipboard(clipboard), m_thread(thread)
{
    ClipboardSnapshot saved = *WithRetries(m_thread, [&] { return m_clipboard.Save(kLargestKeptClipboard); });
    if (saved.tooLarge) {
        throw VelmoraError(std::string(kClipboardTooLarge));
    }
    const ClipboardContent marks = PrivateMarks(m_clipboard);
    m_held = Marked(std::move(saved.formats), marks);
    try {
        WithRetries(m_thread, [&] { return m_clipboard.Offer(offered, marks); });
    } catch (...) {
        // An offer that fails part-way may have emptied the clipboard.
        TryToGiveBack();
        throw;
    }
    m_lent = true;
}

bool BorrowedClipboard::GiveBack(std::chrono::milliseconds timeout)
{
    const bool taken = m_clipboard.WaitUntilTaken(timeout);
    WithRetries(m_thread, [&] { return m_clipboard.Replace(m_held); });
    m_lent = false;
    return taken;
}

BorrowedClipboard::~BorrowedClipboard()
{
    if (m_lent) {
        TryToGiveBack();
    }
}

void BorrowedClipboard::TryToGiveBack() noexcept
{
    try {
        WithRetries(m_thread, [&] { return m_clipboard.Replace(m_held); });
    } catch (...) {
        // Already on the way out with an error; the clipboard stays busy.
    }
}

struct KeyPlayer::PlaybackState {
    // CapsLock flips on each press; an odd count means it needs one more.
    int capsFlips = 0;
    bool shiftPending = false;
    bool ctrlPending = false;
    bool altPending = false;
    // Keys this playback holds down right now, with their extended flag.
    std::vector<std::pair<std::uint8_t, std::uint32_t>> held;
};

KeyPlayer::KeyPlayer(IKeyboard& keyboard, IClipboard& clipboard, IThread& thread, ICodePage& codePage,
                     std::function<bool()> slowdown, std::function<bool()> unicodeInput)
    : m_keyboard(keyboard),
      m_clipboard(clipboard),
      m_thread(thread),
      m_slowdown(std::move(slowdown)),
      m_unicodeInput(std::move(unicodeInput)),
      m_codePage(codePage)
{
}

void KeyPlayer::SlowdownPause()
{
    if (m_slowdown && m_slowdown()) {
        m_thread.Sleep(1);
    }
}

void KeyPlayer::Inject(std::uint8_t virtualKey, std::uint32_t flags)
{
    m_keyboard.KeybdEvent(virtualKey, flags);
    ++m_eventsSincePaste;
}

void KeyPlayer::SendKeyEvent(std::uint8_t virtualKey, std::uint32_t flags)
{
    Inject(virtualKey, flags);
    SlowdownPause();
}

void KeyPlayer::GiveBack(BorrowedClipboard& clipboard)
{
    const auto backlog = kPasteTimePerEvent * static_cast<std::int64_t>(m_eventsSincePaste);
    // Taken or not, the wait gave the program its time for those keys.
    m_eventsSincePaste = 0;
    clipboard.GiveBack(std::min(kPasteTimeout + backlog, kLongestPasteWait));
}

void KeyPlayer::PasteText(std::string_view ansiText, std::u16string_view unicodeText)
{
    BorrowedClipboard clipboard(m_clipboard, m_thread, {UnicodeText(unicodeText), AnsiText(ansiText)});
    PlayKeyString(std::string{static_cast<char>(kCommandEscape), static_cast<char>(vk::Control),
                              static_cast<char>(kKeyEscape), static_cast<char>(vk::V)});
    GiveBack(clipboard);
}

void KeyPlayer::StopPoint()
{
    m_thread.ServeSentMessages();
    if (m_stopRequested) {
        throw RunStopped();
    }
}

void KeyPlayer::WaitForModifiersReleased(bool includeShift)
{
    // As long as the user holds a key, however long; a millisecond's sleep
    // between looks keeps the wait from taking a whole core.
    for (const std::uint8_t key : {vk::Control, vk::Menu, vk::Shift, vk::LWin, vk::RWin, vk::Apps}) {
        if (key == vk::Shift && !includeShift) {
            continue;
        }
        while (m_keyboard.IsKeyDown(key)) {
            StopPoint();
            m_thread.Sleep(1);
        }
    }
}

void KeyPlayer::WaitForKeyState(std::uint8_t virtualKey, bool down)
{
    for (int tries = 0; tries < kKeyStateTries; ++tries) {
        if (m_keyboard.IsKeyDown(virtualKey) == down) {
            return;
        }
        m_thread.Sleep(kKeyStateRetryDelayMs);
        m_thread.PumpMessages();
        StopPoint();
        Inject(virtualKey, down ? 0 : kKeyEventKeyUp);
    }
}

void KeyPlayer::Press(PlaybackState& state, std::uint8_t virtualKey, std::uint32_t flags)
{
    state.held.emplace_back(virtualKey, flags & kKeyEventExtendedKey);
    SendKeyEvent(virtualKey, flags);
}

void KeyPlayer::Release(PlaybackState& state, std::uint8_t virtualKey, std::uint32_t flags)
{
    SendKeyEvent(virtualKey, flags | kKeyEventKeyUp);
    const auto found = std::find_if(state.held.begin(), state.held.end(),
                                    [&](const auto& key) { return key.first == virtualKey; });
    if (found != state.held.end()) {
        state.held.erase(found);
    }
}

void KeyPlayer::PressKey(PlaybackState& state, std::uint16_t key)
{
    const auto virtualKey = static_cast<std::uint8_t>(key & 0xFFu);
    // Pressed Shift, Alt, Ctrl, and released in that same order.
    const std::pair<bool, std::uint8_t> modifiers[] = {
        {state.shiftPending || (key & kScanShift) != 0, vk::Shift},
        {state.altPending, vk::Menu},
        {state.ctrlPending, vk::Control},
    };
    for (const auto& [wanted, modifier] : modifiers) {
        if (wanted) {
            Press(state, modifier, kKeyEventExtendedKey);
        }
    }
    Press(state, virtualKey, 0);
    WaitForKeyState(virtualKey, true);
    Release(state, virtualKey, 0);
    WaitForKeyState(virtualKey, false);
    for (const auto& [wanted, modifier] : modifiers) {
        if (wanted) {
            Release(state, modifier, kKeyEventExtendedKey);
        }
    }
    state.altPending = false;
    state.ctrlPending = false;
}

std::uint16_t KeyPlayer::KeyFor(unsigned char character)
{
    // Control characters keep their keys, whatever the layout answers (a line
    // feed is Ctrl+Enter on Windows and an OEM key on Wine).
    switch (character) {
    case '\t': return vk::Tab;
    case '\n':
    case '\r': return vk::Return;
    case '\b': return vk::Back;
    case 0x1B: return vk::Escape;
    default: break;
    }
    if (character > 126) {
        return 0;
    }
    // A key that needs AltGr (Ctrl+Alt) would type another character bare.
    const std::int16_t scan = m_keyboard.ScanCharacter(static_cast<char>(character));
    if (scan == -1 || (scan & (kScanCtrl | kScanAlt)) != 0) {
        return 0;
    }
    return static_cast<std::uint16_t>(scan);
}

void KeyPlayer::TypeWithoutKey(PlaybackState& state, std::optional<char> ansi, std::optional<char32_t> unicode)
{
    if (unicode && m_unicodeInput && m_unicodeInput()) {
        m_keyboard.SendUnicode(*unicode);
        m_eventsSincePaste += *unicode > 0xFFFF ? 4u : 2u;
        SlowdownPause();
    } else if (ansi || unicode) {
        PasteCharacter(state, ansi, unicode);
    }
}

void KeyPlayer::PasteCharacter(PlaybackState& state, std::optional<char> ansi, std::optional<char32_t> unicode)
{
    // Unicode text for the programs that read it, and ANSI text where the
    // code page has the character.
    ClipboardContent offer;
    if (unicode) {
        std::u16string text;
        AppendUtf16(text, *unicode);
        offer.push_back(UnicodeText(text));
    }
    if (ansi) {
        offer.push_back(AnsiText(std::string_view(&*ansi, 1)));
    }
    BorrowedClipboard clipboard(m_clipboard, m_thread, std::move(offer));
    // Raw events: the paste's own Ctrl, with no waits in between.
    for (const std::uint8_t key : {vk::Control, vk::V}) {
        state.held.emplace_back(key, 0);
        Inject(key, 0);
    }
    for (const std::uint8_t key : {vk::V, vk::Control}) {
        Inject(key, kKeyEventKeyUp);
        state.held.pop_back();
    }
    GiveBack(clipboard);
}

void KeyPlayer::Recover(PlaybackState& state) noexcept
{
    // Never leave the user with a key stuck down or CapsLock switched off.
    while (!state.held.empty()) {
        const auto [key, extended] = state.held.back();
        state.held.pop_back();
        Inject(key, extended | kKeyEventKeyUp);
    }
    if (state.capsFlips % 2 != 0) {
        Inject(vk::Capital, 0);
        Inject(vk::Capital, kKeyEventKeyUp);
        state.capsFlips = 0;
    }
}

void KeyPlayer::FlipCapsLock(PlaybackState& state, bool slowed)
{
    state.held.emplace_back(vk::Capital, 0);
    for (const std::uint32_t flags : {0u, kKeyEventKeyUp}) {
        Inject(vk::Capital, flags);
        if (flags == 0) {
            ++state.capsFlips;
        }
        if (slowed) {
            SlowdownPause();
        }
    }
    state.held.pop_back();
}

void KeyPlayer::PlayKeyString(std::string keys)
{
    WaitForModifiersReleased(/*includeShift=*/false);
    PlaybackState state;
    const bool capsWasOn = m_keyboard.IsKeyToggled(vk::Capital);
    try {
        if (capsWasOn) {
            FlipCapsLock(state, /*slowed=*/false);
        }
        keys = DropCarriageReturnsBeforeLineFeeds(std::move(keys));
        for (std::size_t i = 0; i < keys.size(); ++i) {
            StopPoint();
            const auto byte = static_cast<unsigned char>(keys[i]);
            const bool escape = byte >= kPasteEscape;
            const char second = escape && i + 1 < keys.size() ? keys[i + 1] : '\0';
            if (escape) {
                ++i;
            }

            std::uint16_t key = 0;
            bool paste = false;
            char pasted = '\0';
            char32_t unicode = 0;
            if (byte == kPasteEscape) {
                paste = true;
                pasted = second;
            } else if (byte == kKeyEscape) {
                key = static_cast<unsigned char>(second);
            } else if (byte == kCommandEscape) {
                switch (static_cast<unsigned char>(second)) {
                case kCommandPause:
                    for (std::uint32_t slept = 0; slept < kPauseMs; slept += kPauseSliceMs) {
                        StopPoint();
                        m_thread.Sleep(kPauseSliceMs);
                    }
                    break;
                case kCommandUnicode:
                    unicode = ReadUnicodeEscape(std::string_view(keys).substr(i - 1));
                    i = std::min(i + kUnicodeEscapeLength - 2, keys.size());
                    break;
                case vk::Shift: state.shiftPending = true; break;
                case vk::Control: state.ctrlPending = true; break;
                case vk::Menu: state.altPending = true; break;
                default: break;
                }
            } else {
                key = KeyFor(byte);
                paste = key == 0 && byte != 0;
                pasted = static_cast<char>(byte);
            }

            WaitForModifiersReleased(/*includeShift=*/true);
            if (paste) {
                TypeWithoutKey(state, pasted, m_codePage.ToUnicode(static_cast<unsigned char>(pasted)));
            } else if (unicode != 0) {
                TypeWithoutKey(state, m_codePage.FromUnicode(unicode), unicode);
            } else if (key != 0) {
                PressKey(state, key);
            }
            WaitForModifiersReleased(/*includeShift=*/true);
        }
        if (capsWasOn) {
            FlipCapsLock(state, /*slowed=*/true);
        }
    } catch (...) {
        Recover(state);
        throw;
    }
}

}  // namespace velmora
