#pragma once

// UTF-8 as a code page (65001): the system's rules, written out once so that
// every character is read the same on every Windows version.

#include "platform/CodePage.h"

namespace velmora {

// The character at the front of text. A sequence that is cut short, overlong,
// a surrogate or beyond 10FFFF is one byte that is no character.
inline AnsiCharacter ReadUtf8(std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    const auto lead = static_cast<unsigned char>(text.front());
    if (lead < 0x80) {
        return {1, char32_t{lead}};
    }
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                                            : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                                           : 0;
    if (length == 0 || text.size() < length) {
        return {1, std::nullopt};
    }
    // The second byte's range rules out overlong forms, surrogates and
    // characters beyond 10FFFF.
    const auto second = static_cast<unsigned char>(text[1]);
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (second < low || second > high) {
        return {1, std::nullopt};
    }
    char32_t character = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto trail = static_cast<unsigned char>(text[i]);
        if ((trail & 0xC0) != 0x80) {
            return {1, std::nullopt};
        }
        character = (character << 6) | (trail & 0x3Fu);
    }
    return {length, character};
}

inline std::string Utf8FromCharacter(char32_t character)
{
    std::string bytes;
    if (character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) {
        return bytes;
    }
    if (character < 0x80) {
        bytes += static_cast<char>(character);
    } else if (character < 0x800) {
        bytes += static_cast<char>(0xC0 | (character >> 6));
    } else if (character < 0x10000) {
        bytes += static_cast<char>(0xE0 | (character >> 12));
    } else {
        bytes += static_cast<char>(0xF0 | (character >> 18));
    }
    for (int shift = character < 0x800 ? 0 : character < 0x10000 ? 6 : 12; character >= 0x80 && shift >= 0;
         shift -= 6) {
        bytes += static_cast<char>(0x80 | ((character >> shift) & 0x3F));
    }
    return bytes;
}

}  // namespace velmora
