#pragma once

// Windows ANSI code pages, bytes 0x80 to 0xFF as Windows maps them
// (the few bytes these code pages leave undefined map to the control
// characters of the same number, as MultiByteToWideChar does).

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "platform/CodePage.h"
#include "platform/Utf8.h"

namespace velmora::tests {

using HighHalf = std::array<char16_t, 128>;

// Bytes from 0x80 as the listed characters, the rest as first + offset.
constexpr HighHalf MakeHighHalf(std::u16string_view listed, char16_t first)
{
    HighHalf high{};
    for (std::size_t i = 0; i < high.size(); ++i) {
        high[i] = i < listed.size() ? listed[i] : static_cast<char16_t>(first + i - listed.size());
    }
    return high;
}

// Western: 0xA0 to 0xFF are Latin-1.
inline constexpr HighHalf kCodePage1252 = MakeHighHalf(
    u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039"
    u"\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014"
    u"\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178",
    u'\u00A0');

// Cyrillic: 0xC0 to 0xFF are the alphabet, A to ya.
inline constexpr HighHalf kCodePage1251 = MakeHighHalf(
    u"\u0402\u0403\u201A\u0453\u201E\u2026\u2020\u2021\u20AC\u2030\u0409\u2039"
    u"\u040A\u040C\u040B\u040F\u0452\u2018\u2019\u201C\u201D\u2022\u2013\u2014"
    u"\u0098\u2122\u0459\u203A\u045A\u045C\u045B\u045F\u00A0\u040E\u045E\u0408"
    u"\u00A4\u0490\u00A6\u00A7\u0401\u00A9\u0404\u00AB\u00AC\u00AD\u00AE\u0407"
    u"\u00B0\u00B1\u0406\u0456\u0491\u00B5\u00B6\u00B7\u0451\u2116\u0454\u00BB"
    u"\u0458\u0405\u0455\u0457",
    u'\u0410');

// Turkish: Western with the Turkish letters in place of eight.
inline constexpr HighHalf kCodePage1254 = [] {
    constexpr std::pair<std::size_t, char16_t> turkish[] = {{0x8E, u'\u008E'}, {0x9E, u'\u009E'}, {0xD0, u'\u011E'},
                                                    {0xDD, u'\u0130'}, {0xDE, u'\u015E'}, {0xF0, u'\u011F'},
                                                    {0xFD, u'\u0131'}, {0xFE, u'\u015F'}};
    HighHalf high = kCodePage1252;
    for (const auto& [byte, character] : turkish) {
        high[byte - 0x80] = character;
    }
    return high;
}();

// Japanese (Shift-JIS): half-width katakana as single bytes, lead bytes
// 81-9F and E0-FC, and of the double-byte characters only those the tests
// use, among them some whose trail byte is @ [ \ { | }.
inline constexpr std::pair<std::uint16_t, char16_t> kCodePage932Pairs[] = {
    {0x93FA, u'日'}, {0x967B, u'本'}, {0x8CEA, u'語'}, {0x8C8E, u'月'}, {0x89CE, u'火'}, {0x944E, u'年'},
    {0x976A, u'曜'}, {0x835C, u'ソ'}, {0x955C, u'表'}, {0x945C, u'能'}, {0x8340, u'ァ'}, {0x835B, u'ゼ'},
    {0x837B, u'ボ'}, {0x837C, u'ポ'}, {0x837D, u'マ'}, {0x815B, u'ー'},
};

class FakeCodePage : public ICodePage {
public:
    // 1252 (Western), 1251 (Cyrillic), 1254 (Turkish), 932 (Japanese) or
    // 65001 (UTF-8).
    void Use(int codePage)
    {
        m_codePage = codePage;
        m_high = codePage == 1251 ? &kCodePage1251 : codePage == 1254 ? &kCodePage1254 : &kCodePage1252;
    }

    bool SingleByte() const override { return m_codePage != 932 && m_codePage != 65001; }

    AnsiCharacter Read(std::string_view text) override
    {
        if (text.empty()) {
            return {};
        }
        const auto byte = static_cast<unsigned char>(text.front());
        if (m_codePage == 65001) {
            return ReadUtf8(text);
        }
        if (byte < 0x80) {
            return {1, char32_t{byte}};
        }
        if (m_codePage != 932) {
            return {1, char32_t{(*m_high)[byte - 0x80u]}};
        }
        if (byte >= 0xA1 && byte <= 0xDF) {
            return {1, char32_t{0xFF61u + byte - 0xA1u}};
        }
        if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) {
            if (text.size() >= 2) {
                const auto pair = static_cast<std::uint16_t>(byte << 8 | static_cast<unsigned char>(text[1]));
                for (const auto& [bytes, character] : kCodePage932Pairs) {
                    if (bytes == pair) {
                        return {2, char32_t{character}};
                    }
                }
            }
            return {1, std::nullopt};
        }
        // 80, A0 and FD to FF, as Windows maps them.
        return {1, byte == 0x80 ? U'\u0080' : char32_t{0xF8F0u + (byte == 0xA0 ? 0u : byte - 0xFCu)}};
    }

    std::string FromUnicode(char32_t character) override
    {
        if (m_codePage == 65001) {
            return Utf8FromCharacter(character);
        }
        if (character < 0x80) {
            return std::string(1, static_cast<char>(character));
        }
        if (m_codePage == 932) {
            for (const auto& [bytes, c] : kCodePage932Pairs) {
                if (char32_t{c} == character) {
                    return {static_cast<char>(bytes >> 8), static_cast<char>(bytes & 0xFF)};
                }
            }
        }
        for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
            const std::string bytes(1, static_cast<char>(byte));
            if (Read(bytes).character == character) {
                return bytes;
            }
        }
        return {};
    }

    // Test texts written as Unicode, in the code page's bytes.
    std::string Encode(std::u32string_view text)
    {
        std::string bytes;
        for (const char32_t c : text) {
            const std::string character = FromUnicode(c);
            if (character.empty()) {
                throw std::invalid_argument("character outside the code page");
            }
            bytes += character;
        }
        return bytes;
    }
    std::u32string Decode(std::string_view bytes)
    {
        std::u32string text;
        while (!bytes.empty()) {
            const AnsiCharacter read = Read(bytes);
            text += read.character.value_or(U'\uFFFD');
            bytes.remove_prefix(read.length);
        }
        return text;
    }

private:
    int m_codePage = 1252;
    const HighHalf* m_high = &kCodePage1252;
};

}  // namespace velmora::tests
