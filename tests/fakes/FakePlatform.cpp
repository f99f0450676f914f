#include "fakes/FakePlatform.h"

namespace velmora::testing {

namespace {

// The US layout: unshifted and shifted character of each key.
struct LayoutKey {
    std::uint8_t key;
    char plain;
    char shifted;
};

constexpr LayoutKey kUsLayout[] = {
    {0x30, '0', ')'}, {0x31, '1', '!'}, {0x32, '2', '@'}, {0x33, '3', '#'}, {0x34, '4', '$'},
    {0x35, '5', '%'}, {0x36, '6', '^'}, {0x37, '7', '&'}, {0x38, '8', '*'}, {0x39, '9', '('},
    {0x20, ' ', ' '}, {0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'},
    {0xBE, '.', '>'}, {0xBF, '/', '?'}, {0xC0, '`', '~'}, {0xDB, '[', '{'}, {0xDC, '\\', '|'},
    {0xDD, ']', '}'}, {0xDE, '\'', '"'}, {vk::Tab, '\t', '\t'}, {vk::Back, '\b', '\b'},
    {vk::Return, '\r', '\r'}, {vk::Escape, '\x1B', '\x1B'},
};

}  // namespace

std::int16_t FakeKeyboard::ScanCharacter(char character)
{
    if (character >= 'a' && character <= 'z') {
        return static_cast<std::int16_t>(character - 'a' + 'A');
    }
    if (character >= 'A' && character <= 'Z') {
        return static_cast<std::int16_t>(kScanShift | static_cast<std::uint16_t>(character));
    }
    if (character == '\n') {
        return static_cast<std::int16_t>(kScanCtrl | vk::Return);
    }
    for (const LayoutKey& k : kUsLayout) {
        if (k.plain == character) {
            return k.key;
        }
        if (k.shifted == character) {
            return static_cast<std::int16_t>(kScanShift | k.key);
        }
    }
    return -1;
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
    const bool shift = m_typingDown[vk::Shift];
    if (m_typingDown[vk::Control] || m_typingDown[vk::Menu]) {
        if (key == vk::V && m_typingDown[vk::Control] && acceptsPaste) {
            typed += m_clipboard.Paste();
        }
        return;
    }
    if (key >= 'A' && key <= 'Z') {
        const bool upper = shift != m_typingCaps;
        typed += static_cast<char>(upper ? key : key - 'A' + 'a');
        return;
    }
    for (const LayoutKey& k : kUsLayout) {
        if (k.key == key) {
            typed += key == vk::Return ? '\n' : (shift ? k.shifted : k.plain);
            return;
        }
    }
}

}  // namespace velmora::testing
