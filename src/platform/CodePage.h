#pragma once

// The system's ANSI code page, the 8-bit character set of the program's texts
// and data file, mapped to and from Unicode.

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

class ICodePage {
public:
    virtual ~ICodePage() = default;
    // The character an ANSI byte stands for; nothing when the byte is no
    // character on its own (a lead byte of a double-byte code page).
    virtual std::optional<char32_t> ToUnicode(unsigned char byte) = 0;
    // The ANSI byte for a character; nothing when the code page cannot hold
    // it exactly. Never a best-fit look-alike (no "a" for "ā", no "?").
    virtual std::optional<unsigned char> FromUnicode(char32_t character) = 0;
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

// ANSI text in UTF-16; a byte that is no character of its own gives U+FFFD.
inline std::u16string Utf16FromAnsi(std::string_view text, ICodePage& codePage)
{
    std::u16string result;
    result.reserve(text.size());
    for (const char c : text) {
        AppendUtf16(result, codePage.ToUnicode(static_cast<unsigned char>(c)).value_or(U'\uFFFD'));
    }
    return result;
}

}  // namespace velmora
