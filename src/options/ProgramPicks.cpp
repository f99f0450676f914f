#include "options/ProgramPicks.h"

#include <algorithm>
#include <optional>

#include "macros/ProgramList.h"
#include "platform/Collation.h"

namespace velmora {

namespace {

// The name in the code page, exactly; nothing when a character has no place there.
std::optional<std::string> InCodePage(std::u16string_view name, ICodePage& codePage)
{
    std::string bytes;
    for (std::size_t i = 0; i < name.size();) {
        const std::string character = codePage.FromUnicode(NextUtf16(name, i));
        if (character.empty()) {
            return std::nullopt;
        }
        bytes += character;
    }
    return bytes;
}

}  // namespace

std::vector<std::u16string> ProgramChoices(std::vector<std::u16string> names, ICodePage& codePage)
{
    std::vector<std::u16string> choices;
    for (std::u16string& name : names) {
        if (name.empty() || !InCodePage(name, codePage) ||
            std::ranges::any_of(choices, [&](const std::u16string& chosen) { return SameProgramName(chosen, name); })) {
            continue;
        }
        choices.push_back(std::move(name));
    }
    std::ranges::sort(choices, [](const std::u16string& a, const std::u16string& b) {
        const int folded = CompareIgnoringAsciiCase(a, b);
        return folded != 0 ? folded < 0 : a < b;
    });
    return choices;
}

std::string AddPickedPrograms(std::string_view onlyIn, const std::vector<std::u16string>& picks, ICodePage& codePage)
{
    std::string list(onlyIn);
    for (const std::u16string& pick : picks) {
        const std::optional<std::string> name = InCodePage(pick, codePage);
        if (pick.empty() || !name || FitOf(list, pick, codePage) == ProgramFit::Named) {
            continue;
        }
        const std::size_t end = list.find_last_not_of(" \t");
        if (end != std::string::npos && list[end] != ';') {
            list += ';';
        }
        list += *name;
    }
    return list;
}

}  // namespace velmora
