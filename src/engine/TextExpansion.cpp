#include "engine/TextExpansion.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <unordered_map>

#include "platform/Keyboard.h"

namespace velmora {

namespace {

constexpr std::string_view kOpenMark = "{\"";
constexpr std::string_view kCloseMark = "\"}";
constexpr std::int32_t kLongestRandomWidth = 255;

enum class Tag {
    Date, ShortDate, MonthName, ShortMonthName, Month, TwoDigitMonth, Day, DaySuffix, TwoDigitDay,
    DayOfWeek, ShortDayOfWeek, Year, TwoDigitYear, Hour, TwoDigitHour, Hour24, TwoDigitHour24,
    AmPmUpper, AmPmLower, Minute, ShortMinute, Second, ShortSecond, Time, ShortTime,
    Character,  // a fixed byte, or an escape pair
};

struct TagEntry {
    Tag tag;
    std::string_view bytes;  // for Character
};

const std::unordered_map<std::string_view, TagEntry>& TagTable()
{
    static const auto table = [] {
        std::unordered_map<std::string_view, TagEntry> t = {
            {"date", {Tag::Date, {}}},
            {"shortdate", {Tag::ShortDate, {}}},
            {"monthname", {Tag::MonthName, {}}},
            {"shortmonthname", {Tag::ShortMonthName, {}}},
            {"month", {Tag::Month, {}}},
            {"twodigitmonth", {Tag::TwoDigitMonth, {}}},
            {"day", {Tag::Day, {}}},
            {"daysuffix", {Tag::DaySuffix, {}}},
            {"twodigitday", {Tag::TwoDigitDay, {}}},
            {"dayofweek", {Tag::DayOfWeek, {}}},
            {"shortdayofweek", {Tag::ShortDayOfWeek, {}}},
            {"year", {Tag::Year, {}}},
            {"twodigityear", {Tag::TwoDigitYear, {}}},
            {"hour", {Tag::Hour, {}}},
            {"twodigithour", {Tag::TwoDigitHour, {}}},
            {"hour24", {Tag::Hour24, {}}},
            {"twodigithour24", {Tag::TwoDigitHour24, {}}},
            {"am/pm", {Tag::AmPmUpper, {}}},
            {"am-pm", {Tag::AmPmLower, {}}},
            {"minute", {Tag::Minute, {}}},
            {"shortminute", {Tag::ShortMinute, {}}},
            {"second", {Tag::Second, {}}},
            {"shortsecond", {Tag::ShortSecond, {}}},
            {"time", {Tag::Time, {}}},
            {"shorttime", {Tag::ShortTime, {}}},
            {"tab", {Tag::Character, "\x09"}},
            {"enter", {Tag::Character, "\x0D"}},
            {"backspace", {Tag::Character, "\x08"}},
            {"escape", {Tag::Character, "\x1B"}},
            {"alt", {Tag::Character, "\xFF\x12"}},
            {"ctrl", {Tag::Character, "\xFF\x11"}},
            {"shift", {Tag::Character, "\xFF\x10"}},
            {"home", {Tag::Character, "\xFE\x24"}},
            {"end", {Tag::Character, "\xFE\x23"}},
            {"pageup", {Tag::Character, "\xFE\x21"}},
            {"pagedown", {Tag::Character, "\xFE\x22"}},
            {"insert", {Tag::Character, "\xFE\x2D"}},
            {"delete", {Tag::Character, "\xFE\x2E"}},
            {"left", {Tag::Character, "\xFE\x25"}},
            {"right", {Tag::Character, "\xFE\x27"}},
            {"up", {Tag::Character, "\xFE\x26"}},
            {"down", {Tag::Character, "\xFE\x28"}},
            {"pause", {Tag::Character, "\xFF\x01"}},
        };
        // f1 to f24 and keypad0 to keypad9: the words and their key pairs
        // live as long as the table.
        static std::array<std::string, 34> words;
        static std::array<std::array<char, 2>, 34> keys;
        for (int n = 1; n <= 24; ++n) {
            const auto i = static_cast<std::size_t>(n - 1);
            words[i] = "f" + std::to_string(n);
            keys[i] = {static_cast<char>(kKeyEscape), static_cast<char>(vk::F1 + n - 1)};
            t.emplace(words[i], TagEntry{Tag::Character, std::string_view(keys[i].data(), 2)});
        }
        for (int n = 0; n <= 9; ++n) {
            const auto i = static_cast<std::size_t>(24 + n);
            words[i] = "keypad" + std::to_string(n);
            keys[i] = {static_cast<char>(kKeyEscape), static_cast<char>(vk::Numpad0 + n)};
            t.emplace(words[i], TagEntry{Tag::Character, std::string_view(keys[i].data(), 2)});
        }
        return t;
    }();
    return table;
}

// The length of the front run of bytes below limit. A block of 64 bytes is
// tested without an early exit, so the compiler can make it a vector loop.
std::size_t PlainRun(std::string_view text, unsigned char limit)
{
    constexpr std::size_t kBlock = 64;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t i = 0;
    for (; i + kBlock <= text.size(); i += kBlock) {
        unsigned char top = 0;
        for (std::size_t j = 0; j < kBlock; ++j) {
            top = std::max(top, bytes[i + j]);
        }
        if (top >= limit) {
            break;
        }
    }
    while (i < text.size() && bytes[i] < limit) {
        ++i;
    }
    return i;
}

void AppendUnicodeEscape(std::string& out, char32_t character)
{
    out += static_cast<char>(kCommandEscape);
    out += static_cast<char>(kCommandUnicode);
    for (const int shift : {16, 8, 0}) {
        out += static_cast<char>((character >> shift) & 0xFFu);
    }
}

// One character of the code page, of one byte or several.
void AppendCharacter(std::string& out, const AnsiCharacter& read, std::string_view bytes)
{
    if (read.length == 1 && read.character) {
        if (static_cast<unsigned char>(bytes.front()) >= kPasteEscape) {
            out += static_cast<char>(kPasteEscape);
        }
        out += bytes.front();
    } else {
        // A character of several bytes goes whole, as one without a key; a
        // lead byte with no trail as the replacement character.
        AppendUnicodeEscape(out, read.character.value_or(U'\uFFFD'));
    }
}

// Text reaches the key string as characters, runs without bytes that need
// care copied whole: a byte that would start an escape is sent as the
// character of a paste escape, and where a character may take several bytes
// (multiByte is the code page then, null otherwise), every byte from 0x80 is
// read as part of its character.
void AppendCharacters(std::string& out, std::string_view text, ICodePage* multiByte)
{
    const unsigned char limit = multiByte ? 0x80 : kPasteEscape;
    while (!text.empty()) {
        const std::size_t plain = PlainRun(text, limit);
        out.append(text.substr(0, plain));
        text.remove_prefix(plain);
        if (!text.empty()) {
            const AnsiCharacter read = multiByte ? multiByte->Read(text) : AnsiCharacter{1, U'\0'};
            AppendCharacter(out, read, text);
            text.remove_prefix(read.length);
        }
    }
}

// A locale name, which is Unicode: each character in the code page's byte
// when it has it as one, as one without a key otherwise.
void AppendName(std::string& out, std::u16string_view name, ICodePage& codePage)
{
    for (std::size_t i = 0; i < name.size();) {
        const char32_t character = NextUtf16(name, i);
        const std::string bytes = character < 0x80 ? std::string(1, static_cast<char>(character))
                                                   : codePage.FromUnicode(character);
        if (bytes.size() == 1) {
            AppendCharacter(out, {1, character}, bytes);
        } else {
            AppendUnicodeEscape(out, character);
        }
    }
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// "u+" and one to six hexadecimal digits (lower-cased already) naming a
// character: 1 to 10FFFF, surrogates excluded. Anything else gives nothing.
void AppendUnicode(std::string& out, std::string_view digits)
{
    if (digits.empty() || digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), IsHexDigit)) {
        return;
    }
    std::uint32_t character = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), character, 16);
    if (character == 0 || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) {
        return;
    }
    AppendUnicodeEscape(out, character);
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view Strip(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

void AppendNumber(std::string& out, long long value, int minimumDigits = 1)
{
    char buffer[24];
    const int length = std::snprintf(buffer, sizeof buffer, "%0*lld", minimumDigits, value);
    out.append(buffer, static_cast<std::size_t>(length));
}

int Hour12(int hour)
{
    const int h = hour % 12;
    return h == 0 ? 12 : h;
}

// Splits off the text before the first comma as a number; without a comma,
// takes nothing (or, when lastArgument, the whole text).
std::int32_t SplitArgument(std::string_view& arguments, bool lastArgument)
{
    const auto comma = arguments.find(',');
    if (comma == std::string_view::npos) {
        if (!lastArgument) {
            return 0;
        }
        const std::int32_t value = ReadInteger(arguments).value_or(0);
        arguments = {};
        return value;
    }
    const std::int32_t value = ReadInteger(arguments.substr(0, comma)).value_or(0);
    arguments = Strip(arguments.substr(comma + 1));
    return value;
}

void AppendDateTime(std::string& out, Tag tag, const LocalTime& now, const LocaleNames& names, ICodePage& codePage)
{
    const auto monthIndex = static_cast<std::size_t>((now.month + 11) % 12);
    const auto dayIndex = static_cast<std::size_t>(((now.dayOfWeek % 7) + 7) % 7);
    const bool afternoon = now.hour >= 12;
    switch (tag) {
    case Tag::Date:
        AppendName(out, names.months[monthIndex], codePage);
        out += ' ';
        out += FormatDayWithSuffix(now);
        out += ", ";
        AppendNumber(out, now.year, 4);
        break;
    case Tag::ShortDate:
        AppendNumber(out, now.month, 2);
        AppendName(out, names.dateSeparator, codePage);
        AppendNumber(out, now.day, 2);
        AppendName(out, names.dateSeparator, codePage);
        AppendNumber(out, now.year, 4);
        break;
    case Tag::MonthName: AppendName(out, names.months[monthIndex], codePage); break;
    case Tag::ShortMonthName: AppendName(out, names.shortMonths[monthIndex], codePage); break;
    case Tag::Month: AppendNumber(out, now.month); break;
    case Tag::TwoDigitMonth: AppendNumber(out, now.month, 2); break;
    case Tag::Day: AppendNumber(out, now.day); break;
    case Tag::DaySuffix: out += FormatDayWithSuffix(now); break;
    case Tag::TwoDigitDay: AppendNumber(out, now.day, 2); break;
    case Tag::DayOfWeek: AppendName(out, names.days[dayIndex], codePage); break;
    case Tag::ShortDayOfWeek: AppendName(out, names.shortDays[dayIndex], codePage); break;
    case Tag::Year: AppendNumber(out, now.year, 4); break;
    case Tag::TwoDigitYear: AppendNumber(out, now.year % 100, 2); break;
    case Tag::Hour: out += FormatHour(12, false, now); break;
    case Tag::TwoDigitHour: out += FormatHour(12, true, now); break;
    case Tag::Hour24: out += FormatHour(24, false, now); break;
    case Tag::TwoDigitHour24: out += FormatHour(24, true, now); break;
    case Tag::AmPmUpper: out += afternoon ? "PM" : "AM"; break;
    case Tag::AmPmLower: out += afternoon ? "pm" : "am"; break;
    case Tag::Minute: AppendNumber(out, now.minute, 2); break;
    case Tag::ShortMinute: AppendNumber(out, now.minute); break;
    case Tag::Second: AppendNumber(out, now.second, 2); break;
    case Tag::ShortSecond: AppendNumber(out, now.second); break;
    case Tag::Time:
        AppendNumber(out, Hour12(now.hour));
        AppendName(out, names.timeSeparator, codePage);
        AppendNumber(out, now.minute, 2);
        AppendName(out, names.timeSeparator, codePage);
        AppendNumber(out, now.second, 2);
        out += afternoon ? " pm" : " am";
        break;
    case Tag::ShortTime:
        AppendNumber(out, Hour12(now.hour));
        AppendName(out, names.timeSeparator, codePage);
        AppendNumber(out, now.minute, 2);
        out += afternoon ? 'p' : 'a';
        break;
    case Tag::Character: break;
    }
}

}  // namespace

std::string FormatDayWithSuffix(const LocalTime& time)
{
    std::string text = std::to_string(time.day);
    const int lastDigit = time.day % 10;
    const bool teen = time.day % 100 >= 11 && time.day % 100 <= 13;
    if (!teen && lastDigit == 1) {
        text += "st";
    } else if (!teen && lastDigit == 2) {
        text += "nd";
    } else if (!teen && lastDigit == 3) {
        text += "rd";
    } else {
        text += "th";
    }
    return text;
}

std::string FormatHour(int clock, bool twoDigits, const LocalTime& time)
{
    std::string text;
    AppendNumber(text, clock == 12 ? Hour12(time.hour) : time.hour, twoDigits ? 2 : 1);
    return text;
}

std::optional<std::int32_t> ReadInteger(std::string_view text)
{
    std::size_t hexStart = 0;
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
        hexStart = 1;
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        hexStart = 2;
    }
    if (hexStart > 0) {
        const std::string_view digits = text.substr(hexStart);
        std::uint32_t pattern = 0;
        if (digits.empty() || digits.size() > 8) {
            return std::nullopt;
        }
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pattern, 16);
        if (error != std::errc() || end != digits.data() + digits.size()) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(pattern);
    }

    std::string_view digits = text;
    bool negative = false;
    if (digits.starts_with('-') || digits.starts_with('+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') {
        return std::nullopt;
    }
    long long magnitude = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, 10);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::size_t KeyUnitLength(std::string_view keys)
{
    if (keys.empty()) {
        return 0;
    }
    const auto byte = static_cast<unsigned char>(keys.front());
    const bool unicode = byte == kCommandEscape && keys.size() > 1 && keys[1] == static_cast<char>(kCommandUnicode);
    const std::size_t length = byte < kPasteEscape ? 1 : unicode ? kUnicodeEscapeLength : 2;
    return std::min(length, keys.size());
}

char32_t ReadUnicodeEscape(std::string_view keys)
{
    if (keys.size() < kUnicodeEscapeLength) {
        return 0;
    }
    char32_t character = 0;
    for (std::size_t i = 2; i < kUnicodeEscapeLength; ++i) {
        character = (character << 8) | static_cast<unsigned char>(keys[i]);
    }
    return character;
}

namespace {

// Walks the text for pasting: each ANSI character (text and paste escapes)
// and each Unicode character, in order; keys and commands are dropped.
template <typename Ansi, typename Unicode>
void ForEachPastedCharacter(std::string_view keys, Ansi ansi, Unicode unicode)
{
    for (std::size_t length = 0; !keys.empty(); keys.remove_prefix(length)) {
        length = KeyUnitLength(keys);
        const auto byte = static_cast<unsigned char>(keys.front());
        if (byte < kPasteEscape) {
            ansi(keys.front());
        } else if (byte == kPasteEscape && length == 2) {
            ansi(keys[1]);
        } else if (length == kUnicodeEscapeLength) {
            if (const char32_t character = ReadUnicodeEscape(keys)) {
                unicode(character);
            }
        }
    }
}

}  // namespace

std::string StripKeyEscapes(std::string_view keys, ICodePage* codePage)
{
    std::string text;
    text.reserve(keys.size());
    ForEachPastedCharacter(
        keys, [&](char c) { text += c; },
        [&](char32_t character) {
            if (codePage) {
                text += codePage->FromUnicode(character);
            }
        });
    return text;
}

std::u16string KeyStringToUnicode(std::string_view keys, ICodePage& codePage)
{
    std::u16string text;
    text.reserve(keys.size());
    ForEachPastedCharacter(
        keys,
        [&](char c) { AppendUtf16(text, codePage.ByteCharacter(c).value_or(U'\uFFFD')); },
        [&](char32_t character) { AppendUtf16(text, character); });
    return text;
}

const LocaleNames& MacroTextExpander::Names()
{
    if (!m_names) {
        m_names = m_locale.ReadNames();
    }
    return *m_names;
}

std::string MacroTextExpander::ExpandMacroText(std::string_view text)
{
    const LocalTime now = m_clock.Now();
    std::string result;
    result.reserve(text.size());
    std::string content;

    // Once no closing mark follows some point, none follows any later point:
    // remembering that keeps a text full of unclosed marks linear.
    std::size_t noCloseFrom = std::string_view::npos;
    std::size_t position = 0;
    ICodePage* const multiByte = m_codePage.SingleByte() ? nullptr : &m_codePage;
    for (;;) {
        const std::size_t open =
            multiByte ? FindAtCharacter(text, kOpenMark, position, *multiByte) : text.find(kOpenMark, position);
        if (open == std::string_view::npos) {
            AppendCharacters(result, text.substr(position), multiByte);
            return result;
        }
        AppendCharacters(result, text.substr(position, open - position), multiByte);
        position = open + kOpenMark.size();

        // The closing mark's quote is never a trail byte, so it is found
        // bytewise.
        const std::size_t close =
            position >= noCloseFrom ? std::string_view::npos : text.find(kCloseMark, position);
        if (close == std::string_view::npos) {
            noCloseFrom = std::min(noCloseFrom, position);
            // An unclosed mark drops itself and the one character after it.
            position = std::min(position + (multiByte ? multiByte->Read(text.substr(position)).length : 1),
                                text.size());
            continue;
        }
        content.assign(Strip(text.substr(position, close - position)));
        position = close + kCloseMark.size();
        for (char& c : content) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        AppendTag(result, content, now);
    }
}

void MacroTextExpander::AppendTag(std::string& out, std::string_view word, const LocalTime& now)
{
    const auto& table = TagTable();
    if (const auto entry = table.find(word); entry != table.end()) {
        if (entry->second.tag == Tag::Character) {
            out += entry->second.bytes;
        } else {
            AppendDateTime(out, entry->second.tag, now, Names(), m_codePage);
        }
    } else if (word.starts_with('#')) {
        const std::int32_t code = ReadInteger(Strip(word.substr(1))).value_or(32);
        const auto character = static_cast<unsigned char>(static_cast<std::uint32_t>(code) & 0xFFu);
        if (character >= kPasteEscape) {
            out += static_cast<char>(kPasteEscape);
        }
        out += static_cast<char>(character);
    } else if (word.starts_with("rand ")) {
        AppendRandom(out, Strip(word.substr(5)), /*hex=*/false);
    } else if (word.starts_with("randhex ")) {
        AppendRandom(out, Strip(word.substr(8)), /*hex=*/true);
    } else if (word.starts_with("u+")) {
        AppendUnicode(out, word.substr(2));
    }
}

void MacroTextExpander::AppendRandom(std::string& out, std::string_view arguments, bool hex)
{
    const std::int32_t minimum = SplitArgument(arguments, /*lastArgument=*/false);
    const std::int32_t maximum = SplitArgument(arguments, /*lastArgument=*/true);
    const std::int32_t width = ReadInteger(arguments).value_or(0);

    const std::uint32_t range = static_cast<std::uint32_t>(maximum) - static_cast<std::uint32_t>(minimum) + 1u;
    const std::uint32_t value = static_cast<std::uint32_t>(minimum) + m_random.Next(range);

    char buffer[24];
    int length = 0;
    if (hex) {
        length = std::snprintf(buffer, sizeof buffer, "%0*X", width >= 1 && width <= 16 ? width : 1,
                               static_cast<unsigned>(value));
    } else {
        length = std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(static_cast<std::int32_t>(value)));
        // Zeros go in front of the sign too: -5 at width 3 is "0-5". The
        // width is capped, or one tag could ask for gigabytes of zeros.
        for (std::int32_t pad = std::min(width, kLongestRandomWidth) - length; pad > 0; --pad) {
            out += '0';
        }
    }
    out.append(buffer, static_cast<std::size_t>(length));
}

}  // namespace velmora
