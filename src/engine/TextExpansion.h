#pragma once

// Turns a macro text with tags such as {"date"} or {"tab"} into an encoded
// key string. Bytes 253, 254 and 255 start two-byte escapes:
//   253 c  paste the character c through the clipboard
//   254 k  press and release the virtual key k
//   255 n  1 = pause a second; 16, 17, 18 = hold Shift, Ctrl, Alt with the next key

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/Random.h"
#include "platform/Clock.h"

namespace velmora {

inline constexpr unsigned char kPasteEscape = 253;
inline constexpr unsigned char kKeyEscape = 254;
inline constexpr unsigned char kCommandEscape = 255;
inline constexpr unsigned char kCommandPause = 1;

std::string FormatDayWithSuffix(const LocalTime& time);
std::string FormatHour(int clock, bool twoDigits, const LocalTime& time);

// A signed decimal, or $, x or 0x and up to eight hex digits; nothing for
// anything else (blanks included).
std::optional<std::int32_t> ReadInteger(std::string_view text);

// Removes the escapes for pasting: 253 keeps its character, 254 and 255 go
// with theirs.
std::string StripKeyEscapes(std::string_view keys);

class MacroTextExpander {
public:
    MacroTextExpander(IClock& clock, ILocale& locale, RandomGenerator& random)
        : m_clock(clock), m_locale(locale), m_random(random)
    {
    }

    // Reads the clock once, so every tag of one text shows the same instant.
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
    std::optional<LocaleNames> m_names;
};

}  // namespace velmora
