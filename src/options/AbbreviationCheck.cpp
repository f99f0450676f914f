#include "options/AbbreviationCheck.h"

#include <array>
#include <string_view>

#include "macros/ProgramList.h"
#include "macros/UnicodeTags.h"

namespace velmora {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

std::string TagWordRefusal(std::string_view value, std::string_view what)
{
    return Quoted(value) + " cannot be " + std::string(what) +
           ": Velmora's macro file uses that word to mark its records.";
}

// A U+ tag stands for a character outside the code page.
std::string TaggedRefusal(std::string_view value, std::string_view what, ICodePage& codePage)
{
    return ShowUnicodeTags(value, codePage) == Utf16FromAnsi(value, codePage)
               ? std::string()
               : Quoted(value) + " cannot be " + std::string(what) +
                     ": Velmora's macro file cannot hold some of its characters.";
}

// How another abbreviation stands to the new one, in the order the status
// bar looks for them: an equal one first, then those that keep one of the
// two from ever being typed whole.
struct Relation {
    bool (*holds)(std::string_view mine, std::string_view other);
    // Between the two quoted abbreviations.
    std::string_view text;
};

constexpr std::array kRelations{
    Relation{[](std::string_view mine, std::string_view other) { return mine == other; }, ""},
    Relation{[](std::string_view mine, std::string_view other) { return other.starts_with(mine); },
             " is the start of "},
    Relation{[](std::string_view mine, std::string_view other) { return mine.starts_with(other); },
             " begins with "},
    Relation{[](std::string_view mine, std::string_view other) { return other.ends_with(mine); }, " is the end of "},
    Relation{[](std::string_view mine, std::string_view other) { return mine.ends_with(other); }, " ends with "},
};

}  // namespace

std::string TriggerRefusal(const TMacro& macro, ICodePage& codePage)
{
    const std::string& abbreviation = macro.Abbreviation;
    if (IsRecordTagWord(abbreviation)) {
        return TagWordRefusal(abbreviation, "an abbreviation");
    }
    if (!abbreviation.empty() && (IsBlank(abbreviation.front()) || IsBlank(abbreviation.back()))) {
        return Quoted(abbreviation) + " cannot be an abbreviation: it may not start or end with a blank.";
    }
    if (std::string tagged = TaggedRefusal(abbreviation, "an abbreviation", codePage); !tagged.empty()) {
        return tagged;
    }
    if (IsRecordTagWord(macro.OnlyIn)) {
        return TagWordRefusal(macro.OnlyIn, "a program list");
    }
    return TaggedRefusal(macro.OnlyIn, "a program list", codePage);
}

std::string AbbreviationStatusText(const TMacro& macro, const TMacroList& macros, int editIndex,
                                   ICodePage& codePage)
{
    const std::string& mine = macro.Abbreviation;
    if (mine.empty()) {
        return {};
    }
    if (std::string refused = TriggerRefusal(macro, codePage); !refused.empty()) {
        return refused;
    }
    for (const Relation& relation : kRelations) {
        for (std::size_t i = 0; i < macros.size(); ++i) {
            const TMacro& other = *macros[i].Macro;
            if (static_cast<int>(i) == editIndex || other.Abbreviation.empty() ||
                !relation.holds(mine, other.Abbreviation) || !ProgramListsClash(macro.OnlyIn, other.OnlyIn, codePage)) {
                continue;
            }
            const std::string used = "used by " + Quoted(other.Name);
            return relation.text.empty() ? Quoted(mine) + " is also " + used
                                         : Quoted(mine) + std::string(relation.text) + Quoted(other.Abbreviation) +
                                               ", " + used;
        }
    }
    return Quoted(mine) + " is free";
}

}  // namespace velmora
