#include "macros/ProgramList.h"

#include <algorithm>

namespace velmora {

namespace {

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\u00A0';
}

// The upper-case partner of a letter in the alphabets SameProgramName names.
char16_t UpperOf(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= u'\u00E0' && c <= u'\u00FE' && c != u'\u00F7') ||
        (c >= u'\u03B1' && c <= u'\u03C9' && c != u'\u03C2') || (c >= u'\u0430' && c <= u'\u044F')) {
        return static_cast<char16_t>(c - 0x20);
    }
    if (c == u'\u00FF') {
        return u'\u0178';
    }
    if (c == u'\u03C2') {
        return u'\u03A3';
    }
    if (c >= u'\u0450' && c <= u'\u045F') {
        return static_cast<char16_t>(c - 0x50);
    }
    // Latin Extended-A pairs capital and small letter side by side; which of
    // the two comes first changes twice along the block. 0130 and 0131 are
    // the Turkish i's, which have no partner here.
    const bool oddSmall = (c >= u'\u0100' && c <= u'\u012F') || (c >= u'\u0132' && c <= u'\u0137') ||
                          (c >= u'\u014A' && c <= u'\u0177');
    const bool evenSmall = (c >= u'\u0139' && c <= u'\u0148') || (c >= u'\u0179' && c <= u'\u017E');
    if ((oddSmall && c % 2 == 1) || (evenSmall && c % 2 == 0)) {
        return static_cast<char16_t>(c - 1);
    }
    return c;
}

}  // namespace

bool SameProgramName(std::u16string_view a, std::u16string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char16_t x, char16_t y) { return UpperOf(x) == UpperOf(y); });
}

std::vector<std::u16string> ProgramNames(std::string_view onlyIn, ICodePage& codePage)
{
    // ';' is below 0x80, so it is a character of its own in every code page
    // and never the trail byte of a double-byte one once decoded.
    const std::u16string text = Utf16FromAnsi(onlyIn, codePage);
    std::vector<std::u16string> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(u';', start), text.size());
        std::size_t first = start;
        std::size_t last = end;
        while (first < last && IsBlank(text[first])) {
            ++first;
        }
        while (last > first && IsBlank(text[last - 1])) {
            --last;
        }
        if (last > first) {
            names.emplace_back(text.substr(first, last - first));
        }
        start = end + 1;
    }
    return names;
}

ProgramFit FitOf(std::string_view onlyIn, std::u16string_view program, ICodePage& codePage)
{
    const std::vector<std::u16string> names = ProgramNames(onlyIn, codePage);
    if (names.empty()) {
        return ProgramFit::Default;
    }
    const bool named = std::any_of(names.begin(), names.end(),
                                   [program](const std::u16string& name) { return SameProgramName(name, program); });
    return named ? ProgramFit::Named : ProgramFit::None;
}

bool ProgramListsClash(std::string_view a, std::string_view b, ICodePage& codePage)
{
    const std::vector<std::u16string> first = ProgramNames(a, codePage);
    const std::vector<std::u16string> second = ProgramNames(b, codePage);
    if (first.empty() || second.empty()) {
        return first.empty() && second.empty();
    }
    return std::any_of(first.begin(), first.end(), [&second](const std::u16string& name) {
        return std::any_of(second.begin(), second.end(),
                           [&name](const std::u16string& other) { return SameProgramName(name, other); });
    });
}

}  // namespace velmora
