#include "hotkeys/MacroTriggers.h"

#include <string_view>

#include "hotkeys/HotKeys.h"

namespace velmora {

namespace {

constexpr std::string_view kGap = "   ";
constexpr std::string_view kBlanks = " \t";

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The names as the file lists them, blanks and empty parts left out. A ';'
// is never the trail byte of a double-byte character, so the split is safe
// in every ANSI code page.
std::string ProgramListText(std::string_view onlyIn)
{
    std::string text;
    while (!onlyIn.empty()) {
        const std::size_t end = onlyIn.find(';');
        const std::string_view name = Trimmed(onlyIn.substr(0, end));
        if (!name.empty()) {
            text += (text.empty() ? "" : ", ") + std::string(name);
        }
        onlyIn = end == std::string_view::npos ? std::string_view() : onlyIn.substr(end + 1);
    }
    return text;
}

}  // namespace

bool HasTrigger(const TMacro& macro)
{
    return !macro.HotKey.empty() || !macro.Abbreviation.empty();
}

std::string TriggerDisplayText(const TMacro& macro)
{
    if (!HasTrigger(macro)) {
        return {};
    }
    std::string text = macro.HotKey.empty() ? std::string() : HotKeyDisplayText(macro);
    const auto add = [&](const std::string& part) {
        text += (text.empty() ? "" : std::string(kGap)) + part;
    };
    if (!macro.Abbreviation.empty()) {
        add("\"" + macro.Abbreviation + "\"");
    }
    if (const std::string programs = ProgramListText(macro.OnlyIn); !programs.empty()) {
        add("(" + programs + ")");
    }
    return text;
}

}  // namespace velmora
