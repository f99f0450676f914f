#include "fakes/FakePlatform.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

namespace velmora::tests {

namespace {

// One key of a layout: what it types alone, with Shift and with AltGr
// (Ctrl+Alt); 0 for nothing.
struct LayoutKey {
    std::uint8_t key;
    char16_t plain;
    char16_t shifted;
    char16_t altGr;
};

constexpr LayoutKey kCommonKeys[] = {
    {vk::Space, u' ', u' ', 0},          {vk::Tab, u'\t', u'\t', 0},         {vk::Back, u'\b', u'\b', 0},
    {vk::Return, u'\r', u'\r', 0},       {vk::Escape, u'\x1B', u'\x1B', 0},
};

constexpr LayoutKey kUsKeys[] = {
    {0x30, u'0', u')', 0}, {0x31, u'1', u'!', 0},   {0x32, u'2', u'@', 0},  {0x33, u'3', u'#', 0},
    {0x34, u'4', u'$', 0}, {0x35, u'5', u'%', 0},   {0x36, u'6', u'^', 0},  {0x37, u'7', u'&', 0},
    {0x38, u'8', u'*', 0}, {0x39, u'9', u'(', 0},   {0xBA, u';', u':', 0},  {0xBB, u'=', u'+', 0},
    {0xBC, u',', u'<', 0}, {0xBD, u'-', u'_', 0},   {0xBE, u'.', u'>', 0},  {0xBF, u'/', u'?', 0},
    {0xC0, u'`', u'~', 0}, {0xDB, u'[', u'{', 0},   {0xDC, u'\\', u'|', 0}, {0xDD, u']', u'}', 0},
    {0xDE, u'\'', u'"', 0},
};

// German (KBDGR): QWERTZ; the VK codes follow the key caps, so Y and Z keep
// theirs. @ is Ctrl+Alt+Q, so VkKeyScanA answers 0x0651.
constexpr LayoutKey kGermanKeys[] = {
    {'Q', u'q', u'Q', u'@'}, {'E', u'e', u'E', u'\u20AC'}, {'M', u'm', u'M', u'\u00B5'},
    {0x31, u'1', u'!', 0},   {0x32, u'2', u'"', u'\u00B2'}, {0x33, u'3', u'\u00A7', u'\u00B3'},
    {0x34, u'4', u'$', 0},   {0x35, u'5', u'%', 0},         {0x36, u'6', u'&', 0},
    {0x37, u'7', u'/', u'{'}, {0x38, u'8', u'(', u'['},     {0x39, u'9', u')', u']'},
    {0x30, u'0', u'=', u'}'}, {0xDB, u'\u00DF', u'?', u'\\'}, {0xDD, u'\u00B4', u'`', 0},
    {0xBA, u'\u00FC', u'\u00DC', 0}, {0xBB, u'+', u'*', u'~'}, {0xC0, u'\u00F6', u'\u00D6', 0},
    {0xDE, u'\u00E4', u'\u00C4', 0}, {0xBF, u'#', u'\'', 0},   {0xBC, u',', u';', 0},
    {0xBE, u'.', u':', 0},   {0xBD, u'-', u'_', 0},         {0xE2, u'<', u'>', u'|'},
    {0xDC, u'^', u'\u00B0', 0},
};

// French (KBDFR): AZERTY; the digits need Shift.
constexpr LayoutKey kFrenchKeys[] = {
    {'E', u'e', u'E', u'\u20AC'},
    {0x31, u'&', u'1', 0},         {0x32, u'\u00E9', u'2', u'~'}, {0x33, u'"', u'3', u'#'},
    {0x34, u'\'', u'4', u'{'},     {0x35, u'(', u'5', u'['},      {0x36, u'-', u'6', u'|'},
    {0x37, u'\u00E8', u'7', u'`'}, {0x38, u'_', u'8', u'\\'},     {0x39, u'\u00E7', u'9', u'^'},
    {0x30, u'\u00E0', u'0', u'@'}, {0xDB, u')', u'\u00B0', u']'}, {0xBB, u'=', u'+', u'}'},
    {0xBA, u'$', u'\u00A3', u'\u00A4'}, {0xC0, u'\u00F9', u'%', 0}, {0xDC, u'*', u'\u00B5', 0},
    {0xBC, u',', u'?', 0},         {0xBE, u';', u'.', 0},         {0xBF, u':', u'/', 0},
    {0xDF, u'!', u'\u00A7', 0},    {0xDE, u'\u00B2', 0, 0},       {0xE2, u'<', u'>', 0},
};

// Russian (KBDRU): Cyrillic letters only; Shift gives the capitals.
constexpr std::string_view kRussianLetterKeys = "QWERTYUIOP\xDB\xDD" "ASDFGHJKL\xBA\xDE" "ZXCVBNM\xBC\xBE\xC0";
constexpr std::u16string_view kRussianLetters = u"йцукенгшщзхъ" u"фывапролджэ" u"ячсмитьбюё";

constexpr LayoutKey kRussianKeys[] = {
    {0x31, u'1', u'!', 0}, {0x32, u'2', u'"', 0}, {0x33, u'3', u'\u2116', 0}, {0x34, u'4', u';', 0},
    {0x35, u'5', u'%', 0}, {0x36, u'6', u':', 0}, {0x37, u'7', u'?', 0},      {0x38, u'8', u'*', 0},
    {0x39, u'9', u'(', 0}, {0x30, u'0', u')', 0}, {0xBF, u'.', u',', 0},      {0xBD, u'-', u'_', 0},
    {0xBB, u'=', u'+', 0}, {0xDC, u'\\', u'/', 0}, {0xE2, u'\\', u'/', 0},
};

char16_t Capital(char16_t c)
{
    return c == u'ё' ? u'Ё' : static_cast<char16_t>(c - 0x20);
}

std::vector<LayoutKey> Build(Layout layout)
{
    std::vector<LayoutKey> keys(std::begin(kCommonKeys), std::end(kCommonKeys));
    const auto add = [&](const auto& table) { keys.insert(keys.end(), std::begin(table), std::end(table)); };
    switch (layout) {
    case Layout::Us: add(kUsKeys); break;
    case Layout::German: add(kGermanKeys); break;
    case Layout::French: add(kFrenchKeys); break;
    case Layout::Russian:
        for (std::size_t i = 0; i < kRussianLetters.size(); ++i) {
            keys.push_back({static_cast<std::uint8_t>(kRussianLetterKeys[i]), kRussianLetters[i],
                            Capital(kRussianLetters[i]), 0});
        }
        add(kRussianKeys);
        break;
    }
    if (layout != Layout::Russian) {
        for (char16_t letter = u'a'; letter <= u'z'; ++letter) {
            const auto key = static_cast<std::uint8_t>(letter - u'a' + 'A');
            // Letters with AltGr characters are in the table already.
            if (std::none_of(keys.begin(), keys.end(), [&](const LayoutKey& k) { return k.key == key; })) {
                keys.push_back({key, letter, static_cast<char16_t>(letter - u'a' + u'A'), 0});
            }
        }
    }
    return keys;
}

const std::vector<LayoutKey>& Keys(Layout layout)
{
    static const std::vector<LayoutKey> layouts[] = {Build(Layout::Us), Build(Layout::German),
                                                     Build(Layout::French), Build(Layout::Russian)};
    return layouts[static_cast<std::size_t>(layout)];
}

bool IsLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'а' && c <= u'я') || c == u'ё';
}

}  // namespace

std::int16_t FakeKeyboard::ScanCharacter(char character)
{
    if (const auto odd = oddAnswers.find(character); odd != oddAnswers.end()) {
        return odd->second;
    }
    // Windows answers a line feed with Ctrl+Enter.
    if (character == '\n') {
        return static_cast<std::int16_t>(kScanCtrl | vk::Return);
    }
    const auto wanted = m_codePage.ByteCharacter(character);
    if (!wanted || *wanted == 0) {
        return -1;
    }
    for (const LayoutKey& k : Keys(layout)) {
        if (k.plain == *wanted) {
            return k.key;
        }
        if (k.shifted == *wanted) {
            return static_cast<std::int16_t>(kScanShift | k.key);
        }
        if (k.altGr == *wanted) {
            return static_cast<std::int16_t>(kScanCtrl | kScanAlt | k.key);
        }
    }
    return -1;
}

std::size_t FakeKeyboard::Send(std::span<const KeyInput> inputs)
{
    std::size_t taken = inputs.size();
    if (acceptedEvents) {
        // The block is over once it has cut a call short.
        if (*acceptedEvents < taken) {
            taken = *acceptedEvents;
            acceptedEvents.reset();
        } else {
            *acceptedEvents -= taken;
        }
    }
    calls.emplace_back(inputs.begin(), inputs.begin() + static_cast<std::ptrdiff_t>(taken));
    for (const KeyInput& input : calls.back()) {
        if (beforeEvent) {
            beforeEvent(KeyEvent{input.virtualKey, input.flags});
        }
        Sent();
        if ((input.flags & kKeyEventUnicode) == 0) {
            KeyEventSent(input.virtualKey, input.flags);
        } else if ((input.flags & kKeyEventKeyUp) == 0) {
            const char16_t unit = input.scanCode;
            if (unit >= 0xD800 && unit < 0xDC00) {
                m_highSurrogate = unit;
            } else if (unit >= 0xDC00 && unit < 0xE000 && m_highSurrogate != 0) {
                Emit(0x10000 + ((static_cast<char32_t>(m_highSurrogate) - 0xD800) << 10) + (unit - 0xDC00));
                m_highSurrogate = 0;
            } else {
                Emit(unit);
            }
        }
    }
    return taken;
}

std::vector<std::uint8_t> FakeKeyboard::Family(std::uint8_t key)
{
    switch (key) {
    case vk::Shift: return {vk::Shift, vk::LShift, vk::RShift};
    case vk::Control: return {vk::Control, vk::LControl, vk::RControl};
    case vk::Menu: return {vk::Menu, vk::LMenu, vk::RMenu};
    case vk::LShift: return {vk::LShift, vk::Shift};
    case vk::LControl: return {vk::LControl, vk::Control};
    case vk::LMenu: return {vk::LMenu, vk::Menu};
    default: return {key};
    }
}

void FakeKeyboard::KeyEventSent(std::uint8_t key, std::uint32_t flags)
{
    const bool down = (flags & kKeyEventKeyUp) == 0;
    events.push_back({key, flags});
    if (!down && lostKeyUps > 0) {
        --lostKeyUps;
        return;
    }
    // A key the user holds is only let go for a while: the user still holds
    // it, and it stays down once the events press it again.
    bool held = false;
    for (const std::uint8_t k : Family(key)) {
        if (UserHolds(k)) {
            m_lifted[k] = !down;
            held = true;
        }
    }
    if (held) {
        return;
    }
    m_pending.push_back({m_time.nowMs + lagMs, key, down});
    Type(key, down);
}

bool FakeKeyboard::ModifierDown(std::uint8_t key)
{
    for (const std::uint8_t k : Family(key)) {
        if (m_typingDown[k] || (UserHolds(k) && !m_lifted[k])) {
            return true;
        }
    }
    return false;
}

std::uint16_t FakeKeyboard::ScanCode(std::uint8_t key)
{
    // Windows' answers on a US keyboard, for the keys the tests look at.
    static const std::map<std::uint8_t, std::uint16_t> kCodes = {
        {'A', 0x1E},          {'V', 0x2F},           {vk::Shift, 0x2A},     {vk::Control, 0x1D},
        {vk::Menu, 0x38},     {vk::Capital, 0x3A},   {vk::Home, 0xE047},    {vk::Delete, 0xE053},
        {vk::Left, 0xE04B},   {vk::LWin, 0xE05B},    {vk::RControl, 0xE01D},
    };
    const auto found = kCodes.find(key);
    return found == kCodes.end() ? 0 : found->second;
}

void FakeKeyboard::Emit(char32_t character)
{
    typedUnicode += character;
    typed += m_codePage.FromUnicode(character);
}

void FakeKeyboard::Type(std::uint8_t key, bool down)
{
    const bool wasDown = m_typingDown[key];
    m_typingDown[key] = down;
    if (!down || wasDown) {
        return;
    }
    if (key == vk::Capital) {
        m_typingCaps = !m_typingCaps;
        return;
    }
    if (ModifierDown(vk::Control) || ModifierDown(vk::Menu)) {
        if (key == vk::V && ModifierDown(vk::Control) && acceptsPaste) {
            const std::string text = m_clipboard.Paste();
            typed += text;
            typedUnicode += m_clipboard.UnicodeText().value_or(m_codePage.Decode(text));
        }
        return;
    }
    for (const LayoutKey& k : Keys(layout)) {
        if (k.key == key) {
            const bool shifted = ModifierDown(vk::Shift) != (m_typingCaps && IsLetter(k.plain));
            const char16_t c = key == vk::Return ? u'\n' : shifted ? k.shifted : k.plain;
            if (c != 0) {
                Emit(c);
            }
            return;
        }
    }
}

}  // namespace velmora::tests
