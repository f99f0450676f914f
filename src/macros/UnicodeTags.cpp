#include "macros/UnicodeTags.h"

#include <cstdint>
#include <cstdio>
#include <optional>

namespace velmora {

namespace {

constexpr std::string_view kOpenMark = "{\"";
constexpr std::string_view kCloseMark = "\"}";

std::string_view StripBlanks(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) {
        text.remove_suffix(1);
    }
    return text;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The character a tag's word names, with the rules expansion applies.
std::optional<char32_t> UnicodeTagCharacter(std::string_view word)
{
    word = StripBlanks(word);
    if (word.size() < 3 || (word[0] != 'u' && word[0] != 'U') || word[1] != '+' || word.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t character = 0;
    for (const char c : word.substr(2)) {
        const int digit = HexValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        character = character * 16 + static_cast<std::uint32_t>(digit);
    }
    if (character == 0 || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) {
        return std::nullopt;
    }
    return character;
}

void AppendBytes(std::u16string& shown, std::string_view bytes, ICodePage& codePage)
{
    shown += Utf16FromAnsi(bytes, codePage);
}

}  // namespace

std::u16string ShowUnicodeTags(std::string_view stored, ICodePage& codePage)
{
    std::u16string shown;
    shown.reserve(stored.size());
    std::size_t position = 0;
    while (position < stored.size()) {
        const std::size_t open = FindAtCharacter(stored, kOpenMark, position, codePage);
        const std::size_t close =
            open == std::string_view::npos ? open : stored.find(kCloseMark, open + kOpenMark.size());
        if (close == std::string_view::npos) {
            break;
        }
        AppendBytes(shown, stored.substr(position, open - position), codePage);
        const std::size_t end = close + kCloseMark.size();
        if (const auto character = UnicodeTagCharacter(stored.substr(open + kOpenMark.size(), close - open - kOpenMark.size()))) {
            AppendUtf16(shown, *character);
        } else {
            AppendBytes(shown, stored.substr(open, end - open), codePage);
        }
        position = end;
    }
    AppendBytes(shown, stored.substr(position), codePage);
    return shown;
}

std::string WriteUnicodeTags(std::u16string_view shown, ICodePage& codePage)
{
    std::string stored;
    stored.reserve(shown.size());
    for (std::size_t i = 0; i < shown.size();) {
        const char32_t character = NextUtf16(shown, i);
        if (const std::string bytes = codePage.FromUnicode(character); !bytes.empty()) {
            stored += bytes;
        } else {
            char tag[16] = {};
            std::snprintf(tag, sizeof tag, "{\"U+%04X\"}", static_cast<unsigned>(character));
            stored += tag;
        }
    }
    return stored;
}

}  // namespace velmora
