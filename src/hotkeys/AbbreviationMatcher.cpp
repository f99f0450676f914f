#include "hotkeys/AbbreviationMatcher.h"

#include <algorithm>
#include <utility>

#include "macros/ProgramList.h"
#include "platform/Keyboard.h"

namespace velmora {

namespace {

// The characters from U+0080 to U+FFFF that end a word (Unicode 14's P, S,
// Z, C and N-but-not-Nd categories), in order.
constexpr std::pair<char16_t, char16_t> kNonWordRanges[] = {
    {0x0080, 0x00A9}, {0x00AB, 0x00B4}, {0x00B6, 0x00B9}, {0x00BB, 0x00BF}, {0x00D7, 0x00D7}, {0x00F7, 0x00F7},
    {0x02C2, 0x02C5}, {0x02D2, 0x02DF}, {0x02E5, 0x02EB}, {0x02ED, 0x02ED}, {0x02EF, 0x02FF}, {0x0375, 0x0375},
    {0x037E, 0x037E}, {0x0384, 0x0385}, {0x0387, 0x0387}, {0x03F6, 0x03F6}, {0x0482, 0x0482}, {0x055A, 0x055F},
    {0x0589, 0x058A}, {0x058D, 0x058F}, {0x05BE, 0x05BE}, {0x05C0, 0x05C0}, {0x05C3, 0x05C3}, {0x05C6, 0x05C6},
    {0x05F3, 0x05F4}, {0x0600, 0x060F}, {0x061B, 0x061F}, {0x066A, 0x066D}, {0x06D4, 0x06D4}, {0x06DD, 0x06DE},
    {0x06E9, 0x06E9}, {0x06FD, 0x06FE}, {0x0700, 0x070D}, {0x070F, 0x070F}, {0x07F6, 0x07F9}, {0x07FE, 0x07FF},
    {0x0830, 0x083E}, {0x085E, 0x085E}, {0x0888, 0x0888}, {0x0890, 0x0891}, {0x08E2, 0x08E2}, {0x0964, 0x0965},
    {0x0970, 0x0970}, {0x09F2, 0x09FB}, {0x09FD, 0x09FD}, {0x0A76, 0x0A76}, {0x0AF0, 0x0AF1}, {0x0B70, 0x0B70},
    {0x0B72, 0x0B77}, {0x0BF0, 0x0BFA}, {0x0C77, 0x0C7F}, {0x0C84, 0x0C84}, {0x0D4F, 0x0D4F}, {0x0D58, 0x0D5E},
    {0x0D70, 0x0D79}, {0x0DF4, 0x0DF4}, {0x0E3F, 0x0E3F}, {0x0E4F, 0x0E4F}, {0x0E5A, 0x0E5B}, {0x0F01, 0x0F17},
    {0x0F1A, 0x0F1F}, {0x0F2A, 0x0F34}, {0x0F36, 0x0F36}, {0x0F38, 0x0F38}, {0x0F3A, 0x0F3D}, {0x0F85, 0x0F85},
    {0x0FBE, 0x0FC5}, {0x0FC7, 0x0FCC}, {0x0FCE, 0x0FDA}, {0x104A, 0x104F}, {0x109E, 0x109F}, {0x10FB, 0x10FB},
    {0x1360, 0x137C}, {0x1390, 0x1399}, {0x1400, 0x1400}, {0x166D, 0x166E}, {0x1680, 0x1680}, {0x169B, 0x169C},
    {0x16EB, 0x16F0}, {0x1735, 0x1736}, {0x17D4, 0x17D6}, {0x17D8, 0x17DB}, {0x17F0, 0x17F9}, {0x1800, 0x180A},
    {0x180E, 0x180E}, {0x1940, 0x1940}, {0x1944, 0x1945}, {0x19DA, 0x19DA}, {0x19DE, 0x19FF}, {0x1A1E, 0x1A1F},
    {0x1AA0, 0x1AA6}, {0x1AA8, 0x1AAD}, {0x1B5A, 0x1B6A}, {0x1B74, 0x1B7E}, {0x1BFC, 0x1BFF}, {0x1C3B, 0x1C3F},
    {0x1C7E, 0x1C7F}, {0x1CC0, 0x1CC7}, {0x1CD3, 0x1CD3}, {0x1FBD, 0x1FBD}, {0x1FBF, 0x1FC1}, {0x1FCD, 0x1FCF},
    {0x1FDD, 0x1FDF}, {0x1FED, 0x1FEF}, {0x1FFD, 0x1FFE}, {0x2000, 0x2064}, {0x2066, 0x2070}, {0x2074, 0x207E},
    {0x2080, 0x208E}, {0x20A0, 0x20C0}, {0x2100, 0x2101}, {0x2103, 0x2106}, {0x2108, 0x2109}, {0x2114, 0x2114},
    {0x2116, 0x2118}, {0x211E, 0x2123}, {0x2125, 0x2125}, {0x2127, 0x2127}, {0x2129, 0x2129}, {0x212E, 0x212E},
    {0x213A, 0x213B}, {0x2140, 0x2144}, {0x214A, 0x214D}, {0x214F, 0x2182}, {0x2185, 0x218B}, {0x2190, 0x2426},
    {0x2440, 0x244A}, {0x2460, 0x2B73}, {0x2B76, 0x2B95}, {0x2B97, 0x2BFF}, {0x2CE5, 0x2CEA}, {0x2CF9, 0x2CFF},
    {0x2D70, 0x2D70}, {0x2E00, 0x2E2E}, {0x2E30, 0x2E5D}, {0x2E80, 0x2E99}, {0x2E9B, 0x2EF3}, {0x2F00, 0x2FD5},
    {0x2FF0, 0x2FFB}, {0x3000, 0x3004}, {0x3007, 0x3029}, {0x3030, 0x3030}, {0x3036, 0x303A}, {0x303D, 0x303F},
    {0x309B, 0x309C}, {0x30A0, 0x30A0}, {0x30FB, 0x30FB}, {0x3190, 0x319F}, {0x31C0, 0x31E3}, {0x3200, 0x321E},
    {0x3220, 0x33FF}, {0x4DC0, 0x4DFF}, {0xA490, 0xA4C6}, {0xA4FE, 0xA4FF}, {0xA60D, 0xA60F}, {0xA673, 0xA673},
    {0xA67E, 0xA67E}, {0xA6E6, 0xA6EF}, {0xA6F2, 0xA6F7}, {0xA700, 0xA716}, {0xA720, 0xA721}, {0xA789, 0xA78A},
    {0xA828, 0xA82B}, {0xA830, 0xA839}, {0xA874, 0xA877}, {0xA8CE, 0xA8CF}, {0xA8F8, 0xA8FA}, {0xA8FC, 0xA8FC},
    {0xA92E, 0xA92F}, {0xA95F, 0xA95F}, {0xA9C1, 0xA9CD}, {0xA9DE, 0xA9DF}, {0xAA5C, 0xAA5F}, {0xAA77, 0xAA79},
    {0xAADE, 0xAADF}, {0xAAF0, 0xAAF1}, {0xAB5B, 0xAB5B}, {0xAB6A, 0xAB6B}, {0xABEB, 0xABEB}, {0xFB29, 0xFB29},
    {0xFBB2, 0xFBC2}, {0xFD3E, 0xFD4F}, {0xFDCF, 0xFDCF}, {0xFDFC, 0xFDFF}, {0xFE10, 0xFE19}, {0xFE30, 0xFE52},
    {0xFE54, 0xFE66}, {0xFE68, 0xFE6B}, {0xFEFF, 0xFEFF}, {0xFF01, 0xFF0F}, {0xFF1A, 0xFF20}, {0xFF3B, 0xFF40},
    {0xFF5B, 0xFF65}, {0xFFE0, 0xFFE6}, {0xFFE8, 0xFFEE}, {0xFFF9, 0xFFFD},
};

// Stands for a character the watch could not tell: it carries a word on, and
// no abbreviation holds it.
constexpr char32_t kUnknownCharacter = 0x110000;

constexpr std::uint8_t kScrollLock = 0x91;

// Keys that type nothing themselves and leave the caret where it is.
bool IsModifierOrLock(std::uint8_t key)
{
    switch (key) {
    case vk::Shift: case vk::Control: case vk::Menu: case vk::Capital: case vk::LWin: case vk::RWin:
    case vk::NumLock: case kScrollLock: case vk::LShift: case vk::RShift: case vk::LControl:
    case vk::RControl: case vk::LMenu: case vk::RMenu:
        return true;
    default:
        return false;
    }
}

// Keys after which the caret may be anywhere, or the text already sent.
bool EndsTyping(std::uint8_t key)
{
    return key == vk::Return || key == vk::Tab || key == vk::Escape || (key >= vk::Prior && key <= vk::Down);
}

// Text that goes into a document as typed; AltGr types such text with Ctrl
// and Alt held, where Ctrl alone gives control characters.
bool Printable(std::u16string_view text)
{
    return !text.empty() && std::none_of(text.begin(), text.end(), [](char16_t c) { return c < u' ' || c == 0x7F; });
}

}  // namespace

bool IsWordCharacter(char32_t character)
{
    if (character < 0x80) {
        return (character >= U'0' && character <= U'9') || (character >= U'A' && character <= U'Z') ||
               (character >= U'a' && character <= U'z');
    }
    if (character > 0xFFFF) {
        // Above the first plane, only the emoji and symbol blocks and the tags end a word.
        return !(character >= 0x1F000 && character <= 0x1FBFF) && !(character >= 0xE0000 && character <= 0xE007F);
    }
    const auto after = std::upper_bound(std::begin(kNonWordRanges), std::end(kNonWordRanges), character,
                                        [](char32_t c, const auto& range) { return c < range.first; });
    return after == std::begin(kNonWordRanges) || character > std::prev(after)->second;
}

void AbbreviationMatcher::SetMacros(const TMacroList& macros)
{
    m_nodes.assign(1, Node{});
    m_children.clear();
    m_longest = 0;
    for (const TMacroEntry& entry : macros) {
        const std::shared_ptr<TMacro>& macro = entry.Macro;
        if (!macro || macro->Abbreviation.empty()) {
            continue;
        }
        const std::u16string text = Utf16FromAnsi(macro->Abbreviation, m_codePage);
        std::u32string characters;
        for (std::size_t i = 0; i < text.size();) {
            characters += NextUtf16(text, i);
        }
        std::uint32_t node = 0;
        for (auto c = characters.rbegin(); c != characters.rend(); ++c) {
            const auto [child, added] = m_children.try_emplace((std::uint64_t{node} << 32) | *c,
                                                               static_cast<std::uint32_t>(m_nodes.size()));
            if (added) {
                m_nodes.emplace_back();
            }
            node = child->second;
        }
        m_nodes[node].macros.push_back(macro);
        m_longest = std::max(m_longest, characters.size());
    }
    Forget();
}

void AbbreviationMatcher::Forget()
{
    m_typed.clear();
    m_dropped = 0;
}

std::uint32_t AbbreviationMatcher::Child(std::uint32_t node, char32_t character) const
{
    const auto found = m_children.find((std::uint64_t{node} << 32) | character);
    return found == m_children.end() ? 0 : found->second;
}

void AbbreviationMatcher::Remember(char32_t character)
{
    m_typed += character;
    // The longest abbreviation and the character before it are all that can
    // count; the rest goes once there is a batch of it.
    const std::size_t kept = m_longest + 1;
    if (m_typed.size() >= 2 * kept + 32) {
        m_dropped += m_typed.size() - kept;
        m_typed.erase(0, m_typed.size() - kept);
    }
}

std::optional<AbbreviationMatch> AbbreviationMatcher::KeyPressed(const WatchedKey& key)
{
    // The program's own keys are no typing at all, not even an interruption.
    if (key.own || !HasAbbreviations()) {
        return std::nullopt;
    }
    if (key.duringRun || key.composing || (Paused && Paused())) {
        Forget();
        return std::nullopt;
    }
    if (IsModifierOrLock(key.virtualKey)) {
        return std::nullopt;
    }
    const bool chord = (key.held & (kHeldCtrl | kHeldAlt | kHeldWin)) != 0;
    // AltGr (Ctrl and Alt together) types characters; Ctrl, Alt or Win
    // otherwise give commands.
    const bool altGr = (key.held & (kHeldCtrl | kHeldAlt | kHeldWin)) == (kHeldCtrl | kHeldAlt);
    if (key.virtualKey == vk::Back) {
        // Ctrl+Backspace takes back a whole word, or whatever the program makes of it.
        if (chord) {
            Forget();
        } else if (!m_typed.empty()) {
            m_typed.pop_back();
        } else if (m_dropped != 0) {
            --m_dropped;
        }
        return std::nullopt;
    }
    if (EndsTyping(key.virtualKey) || (chord && !altGr)) {
        Forget();
        return std::nullopt;
    }
    if (key.unknownText) {
        Remember(kUnknownCharacter);
        return std::nullopt;
    }
    if (key.text.empty() && !chord) {
        return std::nullopt;
    }
    if (!Printable(key.text)) {
        Forget();
        return std::nullopt;
    }
    for (std::size_t i = 0; i < key.text.size();) {
        Remember(NextUtf16(key.text, i));
    }
    std::optional<AbbreviationMatch> match = Match();
    if (match) {
        Forget();
    }
    return match;
}

std::optional<AbbreviationMatch> AbbreviationMatcher::Match()
{
    // The abbreviations that end at the caret, shortest first.
    std::vector<std::pair<std::uint32_t, std::size_t>>& ending = m_ending;
    ending.clear();
    std::uint32_t node = 0;
    for (std::size_t length = 1; length <= std::min(m_longest, m_typed.size()); ++length) {
        node = Child(node, m_typed[m_typed.size() - length]);
        if (node == 0) {
            break;
        }
        if (!m_nodes[node].macros.empty()) {
            ending.emplace_back(node, length);
        }
    }
    std::optional<std::u16string> program;
    for (auto end = ending.rbegin(); end != ending.rend(); ++end) {
        const auto [found, length] = *end;
        const std::size_t start = m_typed.size() - length;
        const bool wordStart = start == 0 ? m_dropped == 0 : !IsWordCharacter(m_typed[start - 1]);
        if (!wordStart) {
            continue;
        }
        if (std::shared_ptr<TMacro> macro = Fitting(m_nodes[found].macros, program)) {
            return AbbreviationMatch{std::move(macro), length};
        }
    }
    return std::nullopt;
}

std::shared_ptr<TMacro> AbbreviationMatcher::Fitting(const std::vector<std::shared_ptr<TMacro>>& macros,
                                                     std::optional<std::u16string>& program)
{
    std::shared_ptr<TMacro> everywhere;
    for (const std::shared_ptr<TMacro>& macro : macros) {
        if (macro->OnlyIn.empty()) {
            if (!everywhere) {
                everywhere = macro;
            }
            continue;
        }
        // Asked once per key, and only when a list has to be checked.
        if (!program) {
            program = m_foreground.ForegroundProgram();
        }
        if (FitOf(macro->OnlyIn, *program, m_codePage) == ProgramFit::Named) {
            return macro;
        }
    }
    return everywhere;
}

}  // namespace velmora
