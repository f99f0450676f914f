#pragma once

// The system's ANSI code page, the character set of the program's texts and
// data file, mapped to and from Unicode. A character may take several bytes
// (double-byte code pages such as 932, and UTF-8 as 65001); bytes below 0x80
// are one character each in every code page Windows offers as ANSI.

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// One character read from the front of a text.
struct AnsiCharacter {
    // Its bytes: at least 1 for a text that is not empty. A lead byte without
    // a valid trail, or at the very end, is 1 byte that is no character.
    std::size_t length = 0;
    // Nothing when the bytes are no character.
    std::optional<char32_t> character;
};

class ICodePage {
public:
    virtual ~ICodePage() = default;
    // True when every byte is a character of its own, so texts can be read
    // byte by byte.
    virtual bool SingleByte() const = 0;
    // The character at the front of text.
    virtual AnsiCharacter Read(std::string_view text) = 0;
    // The code page's bytes for a character; empty when it cannot hold it
    // exactly. Never a best-fit look-alike (no "a" for "ā", no "?").
    virtual std::string FromUnicode(char32_t character) = 0;

    // The character of a single byte; nothing for a byte that is no
    // character on its own (a lead byte).
    std::optional<char32_t> ByteCharacter(char byte) { return Read(std::string_view(&byte, 1)).character; }
};

// Appends the character in UTF-16: a surrogate pair above FFFF.
inline void AppendUtf16(std::u16string& text, char32_t character)
{
    if (character > 0xFFFF) {
        text += static_cast<char16_t>(0xD800 + ((character - 0x10000) >> 10));
        text += static_cast<char16_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
    } else {
        text += static_cast<char16_t>(character);
    }
}

// The character at text[i] of UTF-16, moving i past it; a lone surrogate
// gives U+FFFD.
inline char32_t NextUtf16(std::u16string_view text, std::size_t& i)
{
    const char32_t unit = text[i++];
    if (unit >= 0xD800 && unit <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
        return 0x10000 + ((unit - 0xD800) << 10) + (text[i++] - 0xDC00u);
    }
    return unit >= 0xD800 && unit <= 0xDFFF ? U'\uFFFD' : unit;
}

// Where needle (ASCII) next starts at a character of text, from from, which
// is at one: never on a trail byte that happens to equal its first byte.
inline std::size_t FindAtCharacter(std::string_view text, std::string_view needle, std::size_t from,
                                   ICodePage& codePage)
{
    for (;;) {
        const std::size_t found = text.find(needle, from);
        if (found == std::string_view::npos || codePage.SingleByte()) {
            return found;
        }
        while (from < found) {
            from += static_cast<unsigned char>(text[from]) < 0x80 ? 1 : codePage.Read(text.substr(from)).length;
        }
        if (from == found) {
            return found;
        }
    }
}

// ANSI text in UTF-16, whole characters at a time; a byte that is no
// character gives U+FFFD.
inline std::u16string Utf16FromAnsi(std::string_view text, ICodePage& codePage)
{
    std::u16string result;
    result.reserve(text.size());
    while (!text.empty()) {
        const AnsiCharacter read = codePage.Read(text);
        AppendUtf16(result, read.character.value_or(U'\uFFFD'));
        text.remove_prefix(read.length);
    }
    return result;
}

}  // namespace velmora
