#pragma once

// Turns a macro text with tags such as {"date"} or {"tab"} into an encoded
// key string: ANSI characters, and escapes that start with bytes 253 to 255:
//   253 c      the character c, typed as one without a key (through the
//              clipboard or as Unicode input); every byte 253 to 255 of the
//              text itself or of a locale name comes this way
// A plain byte is always a whole character; a character of several bytes
// (double-byte and UTF-8 code pages) comes as a 255 2 xyz escape.
//   254 k      press and release the virtual key k
//   255 n      1 = pause a second; 16, 17, 18 = hold Shift, Ctrl, Alt with the next key
//   255 2 xyz  the Unicode character xyz (three bytes, most significant
//              first) of a {"U+..."} tag, typed as one without a key

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/Random.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"

namespace velmora {

inline constexpr unsigned char kPasteEscape = 253;
inline constexpr unsigned char kKeyEscape = 254;
inline constexpr unsigned char kCommandEscape = 255;
inline constexpr unsigned char kCommandPause = 1;
inline constexpr unsigned char kCommandUnicode = 2;
inline constexpr std::size_t kUnicodeEscapeLength = 5;

// The bytes of the unit at the front of keys: a character, or a whole escape
// (cut short where keys end). Every scan over a key string steps by these.
std::size_t KeyUnitLength(std::string_view keys);

// The character of a 255 2 xyz escape at the front of keys; 0 when the
// string ends early.
char32_t ReadUnicodeEscape(std::string_view keys);

std::string FormatDayWithSuffix(const LocalTime& time);
std::string FormatHour(int clock, bool twoDigits, const LocalTime& time);

// A signed decimal, or $, x or 0x and up to eight hex digits; nothing for
// anything else (blanks included).
std::optional<std::int32_t> ReadInteger(std::string_view text);

// Removes the escapes for pasting: 253 keeps its character, 254 and 255 go
// with theirs. A Unicode character becomes its ANSI bytes when the code page
// holds it and is left out otherwise (and always without a code page).
std::string StripKeyEscapes(std::string_view keys, ICodePage* codePage = nullptr);

// The whole text for pasting as UTF-16, Unicode characters and all; escapes
// go as in StripKeyEscapes, and a byte that is no character of its own gives
// U+FFFD.
std::u16string KeyStringToUnicode(std::string_view keys, ICodePage& codePage);

class MacroTextExpander {
public:
    MacroTextExpander(IClock& clock, ILocale& locale, RandomGenerator& random, ICodePage& codePage)
        : m_clock(clock), m_locale(locale), m_random(random), m_codePage(codePage)
    {
    }

    // Reads the clock once, so every tag of one text shows the same instant.
    // A tag starts and ends only between characters of the code page.
    std::string ExpandMacroText(std::string_view text);

    // The user changed the regional settings: read the names again next time.
    void LocaleChanged() { m_names.reset(); }

private:
    const LocaleNames& Names();
    void AppendTag(std::string& out, std::string_view word, const LocalTime& now);
    void AppendRandom(std::string& out, std::string_view arguments, bool hex);

    IClock& m_clock;
    ILocale& m_locale;
    RandomGenerator& m_random;
    ICodePage& m_codePage;
    std::optional<LocaleNames> m_names;
};

}  // namespace velmora
