// What the options window says about an abbreviation, and what it refuses to save.

#include "options/AbbreviationCheck.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeCodePage.h"

namespace velmora {
namespace {

using Row = std::array<std::string, 3>;

TEST(TriggerRefusal, TagWordsAndBlanksAtTheEndsAreRefusedAndAnythingElseIsKept)
{
    const std::string tagWord = " Velmora's macro file uses that word to mark its records.";
    const std::string blank = " it may not start or end with a blank.";
    const std::string tagged = " Velmora's macro file cannot hold some of its characters.";
    const std::vector<Row> cases{
        // Abbreviation, program list, refusal.
        {"end", "", "\"end\" cannot be an abbreviation:" + tagWord},
        {"password", "", "\"password\" cannot be an abbreviation:" + tagWord},
        {" sig", "", "\" sig\" cannot be an abbreviation:" + blank},
        {"brb\t", "", "\"brb\t\" cannot be an abbreviation:" + blank},
        {"", "name", "\"name\" cannot be a program list:" + tagWord},
        {"{\"U+2192\"}x", "", "\"{\"U+2192\"}x\" cannot be an abbreviation:" + tagged},
        {"", "{\"u+65e5\"}.exe", "\"{\"u+65e5\"}.exe\" cannot be a program list:" + tagged},
        {"{\"Enter\"}", "caf\xe9.exe", ""},
        {"ends", "end.exe", ""},
    };
    tests::FakeCodePage codePage;
    for (const auto& [abbreviation, onlyIn, refusal] : cases) {
        EXPECT_EQ(TriggerRefusal({.Abbreviation = abbreviation, .OnlyIn = onlyIn}, codePage), refusal)
            << abbreviation << onlyIn;
    }
}

TEST(AbbreviationStatusText, NamesTheFirstOtherMacroInTheWayWhereTheirProgramsClash)
{
    TMacroList macros;
    for (const auto& [abbreviation, onlyIn, name] :
         std::vector<Row>{{";sig", "", "Sign"}, {";s", "", "Short"}, {"ig", "", "Tail"}, {"brb", "a.exe", "Pad"}}) {
        macros.push_back(
            {name, std::make_shared<TMacro>(TMacro{.Name = name, .Abbreviation = abbreviation, .OnlyIn = onlyIn})});
    }
    const std::vector<Row> cases{
        {";si", "", "\";si\" is the start of \";sig\", used by \"Sign\""},
        {";sigxy", "", "\";sigxy\" begins with \";sig\", used by \"Sign\""},
        {"g", "", "\"g\" is the end of \";sig\", used by \"Sign\""},
        {"zig", "", "\"zig\" ends with \"ig\", used by \"Tail\""},
        {";s", "", "\";s\" is also used by \"Short\""},  // an equal one before one it starts
        {"SIG", "", "\"SIG\" is free"},
        {"brb", "", "\"brb\" is free"},  // a list against none never clashes
        {"brb", "b.exe;A.EXE", "\"brb\" is also used by \"Pad\""},
        {"end", "", "\"end\" cannot be an abbreviation: Velmora's macro file uses that word to mark its records."},
    };
    tests::FakeCodePage codePage;
    for (const auto& [abbreviation, onlyIn, status] : cases) {
        EXPECT_EQ(AbbreviationStatusText({.Abbreviation = abbreviation, .OnlyIn = onlyIn}, macros, -1, codePage),
                  status);
    }
    // The macro being edited is not in its own way.
    EXPECT_EQ(AbbreviationStatusText(*macros[0].Macro, macros, 0, codePage),
              "\";sig\" begins with \";s\", used by \"Short\"");
}

}  // namespace
}  // namespace velmora
