#include "engine/KeyPlayback.h"

#include <algorithm>
#include <utility>

#include "engine/TextExpansion.h"
#include "macros/Error.h"

namespace velmora {

namespace {

// Another program holding the clipboard usually lets go within milliseconds,
// but the paste that has just taken the text still holds it while it inserts
// that, which on a busy machine can take well over a count of quick retries.
constexpr std::uint64_t kClipboardWaitMs = 2000;
constexpr std::uint32_t kClipboardRetryDelayMs = 10;
// The give-back tries this often in the run before the timer takes over.
constexpr int kGiveBackAttempts = 25;
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
    const std::uint64_t deadline = thread.Milliseconds() + kClipboardWaitMs;
    for (;;) {
        if (auto result = operation()) {
            return result;
        }
        if (thread.Milliseconds() >= deadline) {
            throw VelmoraError(std::string(kCannotOpenClipboard));
        }
        thread.Sleep(kClipboardRetryDelayMs);
    }
}

// CR LF becomes LF, and a run of CRs before a LF goes with it. Only whole
// characters count: the bytes inside an escape are no CR or LF.
std::string DropCarriageReturnsBeforeLineFeeds(std::string_view keys)
{
    std::string kept;
    kept.reserve(keys.size());
    std::size_t carriageReturns = 0;
    for (std::size_t length = 0; !keys.empty(); keys.remove_prefix(length)) {
        length = KeyUnitLength(keys);
        if (keys.front() == '\r') {
            ++carriageReturns;
            continue;
        }
        if (keys.front() != '\n') {
            kept.append(carriageReturns, '\r');
        }
        carriageReturns = 0;
        kept.append(keys.substr(0, length));
    }
    kept.append(carriageReturns, '\r');
    return kept;
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

// The content with the marks first, in place of any it carried already:
// clipboard monitors look at the first formats.
ClipboardContent Marked(ClipboardContent content, const ClipboardContent& marks)
{
    std::erase_if(content, [&](const ClipboardFormat& format) {
        return std::any_of(marks.begin(), marks.end(), [&](const ClipboardFormat& mark) { return mark.id == format.id; });
    });
    content.insert(content.begin(), marks.begin(), marks.end());
    return content;
}

}  // namespace

HeldClipboard::~HeldClipboard()
{
    if (Waiting()) {
        TryOnce();
    }
    Wipe();
}

void HeldClipboard::Hold(ClipboardContent content)
{
    Wipe();
    m_content = std::move(content);
}

void HeldClipboard::Wipe() noexcept
{
    // The user's clipboard may hold a password: no copy outlives its use.
    for (ClipboardFormat& format : m_content) {
        volatile char* byte = format.bytes.data();
        for (std::size_t i = 0; i < format.bytes.size(); ++i) {
            byte[i] = 0;
        }
    }
    m_content.clear();
    m_content.shrink_to_fit();
    m_waitingSince.reset();
}

bool HeldClipboard::TryOnce() noexcept
{
    try {
        if (m_clipboard.Restore(m_content) == IClipboard::RestoreResult::Busy) {
            return false;
        }
    } catch (...) {
        return false;
    }
    // Back, or another program's copy is there now and stays.
    Wipe();
    return true;
}

void HeldClipboard::GiveBack() noexcept
{
    const std::uint64_t started = m_thread.Milliseconds();
    for (int attempt = 1; !TryOnce(); ++attempt) {
        if (attempt == kGiveBackAttempts) {
            // The run goes on; the timer keeps trying meanwhile.
            m_waitingSince = started;
            if (StartRetryTimer) {
                StartRetryTimer();
            }
            return;
        }
        m_thread.Sleep(kClipboardRetryDelayMs);
    }
}

bool HeldClipboard::RetryGiveBack() noexcept
{
    if (!Waiting() || TryOnce()) {
        return false;
    }
    if (m_thread.Milliseconds() - *m_waitingSince < kGiveBackPatienceMs) {
        return true;
    }
    Wipe();
    if (GaveUp) {
        GaveUp();
    }
    return false;
}

void HeldClipboard::Settle()
{
    if (Waiting()) {
        WithRetries(m_thread, [this] { return TryOnce(); });
    }
}

BorrowedClipboard::BorrowedClipboard(IClipboard& clipboard, IThread& thread, HeldClipboard& held,
                                     ClipboardContent offered)
    : m_clipboard(clipboard), m_held(held)
{
    // The clipboard still holds the last paste's text, not the user's content.
    m_held.Settle();
    ClipboardSnapshot saved = *WithRetries(thread, [&] { return m_clipboard.Save(kLargestKeptClipboard); });
    if (saved.tooLarge) {
        throw VelmoraError(std::string(kClipboardTooLarge));
    }
    const ClipboardContent marks = PrivateMarks(m_clipboard);
    m_held.Hold(Marked(std::move(saved.formats), marks));
    try {
        WithRetries(thread, [&] { return m_clipboard.Offer(offered, marks); });
    } catch (...) {
        // An offer that fails part-way may have emptied the clipboard.
        m_held.GiveBack();
        throw;
    }
    m_lent = true;
}

bool BorrowedClipboard::GiveBack(std::chrono::milliseconds timeout)
{
    const bool taken = m_clipboard.WaitUntilTaken(timeout);
    m_lent = false;
    m_held.GiveBack();
    return taken;
}

BorrowedClipboard::~BorrowedClipboard()
{
    if (m_lent) {
        m_held.GiveBack();
    }
}

bool IsExtendedKey(std::uint8_t virtualKey)
{
    switch (virtualKey) {
    case vk::Insert:
    case vk::Delete:
    case vk::Home:
    case vk::End:
    case vk::Prior:
    case vk::Next:
    case vk::Left:
    case vk::Up:
    case vk::Right:
    case vk::Down:
    case vk::RControl:
    case vk::RMenu:
    case vk::NumLock:
    case vk::Divide:
    case vk::Apps:
    case vk::LWin:
    case vk::RWin:
        return true;
    default:
        return false;
    }
}

struct KeyPlayer::PlaybackState {
    // CapsLock flips on each press; an odd count means it needs one more.
    int capsFlips = 0;
    bool shiftPending = false;
    bool ctrlPending = false;
    bool altPending = false;
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

KeyInput KeyPlayer::Stroke(std::uint8_t virtualKey, bool up)
{
    // Programs that read scan codes (terminals, games, remote desktops) drop
    // events without one, and Home without its extended flag is the keypad's.
    const std::uint16_t scan = m_keyboard.ScanCode(virtualKey);
    const bool extended = IsExtendedKey(virtualKey) || (scan >> 8) == 0xE0 || (scan >> 8) == 0xE1;
    return {.virtualKey = virtualKey,
            .scanCode = static_cast<std::uint16_t>(scan & 0xFF),
            .flags = (up ? kKeyEventKeyUp : 0) | (extended ? kKeyEventExtendedKey : 0),
            .extraInfo = kOwnInputMark};
}

void KeyPlayer::SendChord(std::vector<KeyInput> events, bool slowed)
{
    // A modifier the user still holds would turn the chord into another one:
    // it is let go for the chord and pressed again after it, in the same call.
    std::vector<KeyInput> sent;
    std::vector<std::uint8_t> lifted;
    for (const std::uint8_t key : {vk::LShift, vk::RShift, vk::LControl, vk::RControl, vk::LMenu, vk::RMenu,
                                   vk::LWin, vk::RWin}) {
        if (m_keyboard.IsKeyDown(key)) {
            lifted.push_back(key);
            sent.push_back(Stroke(key, /*up=*/true));
        }
    }
    sent.insert(sent.end(), events.begin(), events.end());
    for (const std::uint8_t key : lifted) {
        sent.push_back(Stroke(key, /*up=*/false));
    }
    const std::size_t taken = m_keyboard.Send(sent);
    m_eventsSincePaste += taken;
    m_chordEventsTaken = std::min(taken - std::min(taken, lifted.size()), events.size());
    if (taken < sent.size()) {
        // Let go of whatever the part that went through left down, last first.
        std::vector<KeyInput> release;
        for (std::size_t i = taken; i-- > 0;) {
            const KeyInput& event = sent[i];
            const auto rest = std::span(sent).subspan(i + 1, taken - i - 1);
            const bool down = (event.flags & (kKeyEventKeyUp | kKeyEventUnicode)) == 0;
            if (down && std::none_of(rest.begin(), rest.end(), [&](const KeyInput& later) {
                    return later.virtualKey == event.virtualKey && (later.flags & kKeyEventKeyUp) != 0;
                })) {
                release.push_back(Stroke(event.virtualKey, /*up=*/true));
            }
        }
        if (!release.empty()) {
            m_keyboard.Send(release);
        }
        throw VelmoraError(std::string(kKeysRefused));
    }
    if (slowed) {
        for (std::size_t i = 0; i < events.size(); ++i) {
            SlowdownPause();
        }
    }
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
    BorrowedClipboard clipboard(m_clipboard, m_thread, m_held, {UnicodeText(unicodeText), AnsiText(ansiText)});
    PlayKeyString(std::string{static_cast<char>(kCommandEscape), static_cast<char>(vk::Control),
                              static_cast<char>(kKeyEscape), static_cast<char>(vk::V)});
    GiveBack(clipboard);
}

void KeyPlayer::LeaveOnClipboard(std::string_view ansiText, std::u16string_view unicodeText)
{
    // A give-back still waiting would put the user's content over this text.
    m_held.Settle();
    const ClipboardContent content = Marked({UnicodeText(unicodeText), AnsiText(ansiText)}, PrivateMarks(m_clipboard));
    WithRetries(m_thread, [&] { return m_clipboard.Replace(content); });
}

void KeyPlayer::StopPoint()
{
    m_thread.ServeSentMessages();
    if (AtStopPoint) {
        AtStopPoint();
    }
    if (m_stopRequested) {
        throw RunStopped();
    }
}

void KeyPlayer::WaitForKeysReleased(std::span<const std::uint8_t> keys)
{
    // A millisecond's sleep between looks keeps the wait from taking a whole core.
    const std::uint64_t deadline = m_thread.Milliseconds() + kLongestKeyWaitMs;
    for (const std::uint8_t key : keys) {
        while (!m_keysWaitExpired && m_keyboard.IsKeyDown(key)) {
            StopPoint();
            if (m_thread.Milliseconds() >= deadline) {
                m_keysWaitExpired = true;
                break;
            }
            m_thread.Sleep(1);
        }
    }
}

void KeyPlayer::WaitForModifiersReleased(bool includeShift)
{
    static constexpr std::uint8_t kWithShift[] = {vk::Control, vk::Menu, vk::Shift, vk::LWin, vk::RWin, vk::Apps};
    static constexpr std::uint8_t kWithoutShift[] = {vk::Control, vk::Menu, vk::LWin, vk::RWin, vk::Apps};
    if (includeShift) {
        WaitForKeysReleased(kWithShift);
    } else {
        WaitForKeysReleased(kWithoutShift);
    }
}

void KeyPlayer::WaitForKeyUp(std::uint8_t virtualKey)
{
    // The chord let go of the key. The system may show that a moment late
    // (it hands the events to input hooks first); should it still show the
    // key down after a while, the key up is sent again, ten times at most.
    for (int tries = 0; tries < kKeyStateTries && m_keyboard.IsKeyDown(virtualKey); ++tries) {
        m_thread.Sleep(kKeyStateRetryDelayMs);
        StopPoint();
        if (m_keyboard.IsKeyDown(virtualKey)) {
            SendChord({Stroke(virtualKey, /*up=*/true)}, /*slowed=*/false);
        }
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
    std::vector<KeyInput> chord;
    for (const bool up : {false, true}) {
        if (up) {
            chord.push_back(Stroke(virtualKey, /*up=*/false));
            chord.push_back(Stroke(virtualKey, /*up=*/true));
        }
        for (const auto& [wanted, modifier] : modifiers) {
            if (wanted) {
                chord.push_back(Stroke(modifier, up));
            }
        }
    }
    SendChord(std::move(chord), /*slowed=*/true);
    WaitForKeyUp(virtualKey);
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

void KeyPlayer::TypeWithoutKey(const std::string& ansi, std::optional<char32_t> unicode)
{
    if (unicode && m_unicodeInput && m_unicodeInput()) {
        // A character above FFFF goes as its two surrogates, all in one call.
        std::u16string units;
        AppendUtf16(units, *unicode);
        std::vector<KeyInput> events;
        for (const char16_t unit : units) {
            for (const std::uint32_t up : {0u, kKeyEventKeyUp}) {
                events.push_back(
                    {.virtualKey = 0, .scanCode = unit, .flags = kKeyEventUnicode | up, .extraInfo = kOwnInputMark});
            }
        }
        SendChord(std::move(events), /*slowed=*/false);
        SlowdownPause();
    } else if (!ansi.empty() || unicode) {
        PasteCharacter(ansi, unicode);
    }
}

void KeyPlayer::PasteCharacter(const std::string& ansi, std::optional<char32_t> unicode)
{
    // Unicode text for the programs that read it, and ANSI text where the
    // code page has the character.
    ClipboardContent offer;
    if (unicode) {
        std::u16string text;
        AppendUtf16(text, *unicode);
        offer.push_back(UnicodeText(text));
    }
    if (!ansi.empty()) {
        offer.push_back(AnsiText(ansi));
    }
    BorrowedClipboard clipboard(m_clipboard, m_thread, m_held, std::move(offer));
    // The paste's own Ctrl+V, with no pauses in between.
    SendChord({Stroke(vk::Control, false), Stroke(vk::V, false), Stroke(vk::V, true), Stroke(vk::Control, true)},
              /*slowed=*/false);
    GiveBack(clipboard);
}

void KeyPlayer::Recover(PlaybackState& state) noexcept
{
    // Never leave the user with CapsLock switched off. (No other key is left
    // down: each chord lets go of its keys within its own call.)
    if (state.capsFlips % 2 != 0) {
        try {
            FlipCapsLock(state, /*slowed=*/false);
        } catch (...) {
        }
    }
}

void KeyPlayer::FlipCapsLock(PlaybackState& state, bool slowed)
{
    try {
        SendChord({Stroke(vk::Capital, false), Stroke(vk::Capital, true)}, slowed);
    } catch (...) {
        // The key went down, and with that CapsLock flipped, if anything went through.
        if (m_chordEventsTaken > 0) {
            ++state.capsFlips;
        }
        throw;
    }
    ++state.capsFlips;
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
        keys = DropCarriageReturnsBeforeLineFeeds(keys);
        for (std::size_t i = 0, length = 0; i < keys.size(); i += length) {
            StopPoint();
            const std::string_view rest = std::string_view(keys).substr(i);
            const std::string_view unit = rest.substr(0, KeyUnitLength(rest));
            length = unit.size();
            const auto byte = static_cast<unsigned char>(unit.front());
            const char second = unit.size() > 1 ? unit[1] : '\0';

            std::uint16_t key = 0;
            bool paste = false;
            char pasted = '\0';
            char32_t unicode = 0;
            if (byte == kPasteEscape) {
                paste = unit.size() > 1;
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
                case kCommandUnicode: unicode = ReadUnicodeEscape(unit); break;
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
                TypeWithoutKey(std::string(1, pasted), m_codePage.ByteCharacter(pasted));
            } else if (unicode != 0) {
                TypeWithoutKey(m_codePage.FromUnicode(unicode), unicode);
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
