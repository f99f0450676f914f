// What the options window says about an abbreviation, and what it refuses to save.

#include "options/AbbreviationCheck.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeCodePage.h"

namespace velmora {
namespace {

TMacro Triggered(const std::string& abbreviation, const std::string& onlyIn = {})
{
    TMacro macro;
    macro.Abbreviation = abbreviation;
    macro.OnlyIn = onlyIn;
    return macro;
}

TEST(TriggerRefusal, TagWordsAndBlanksAtTheEndsAreRefusedAndAnythingElseIsKept)
{
    struct Case {
        std::string abbreviation;
        std::string onlyIn;
        // Empty when the file can keep both.
        std::string refusal;
    };
    const std::vector<Case> cases{
        {"end", "", "\"end\" cannot be an abbreviation: Velmora's macro file uses that word to mark its records."},
        {"hotkey", "", "\"hotkey\" cannot be an abbreviation: Velmora's macro file uses that word to mark its records."},
        {"text", "notepad.exe",
         "\"text\" cannot be an abbreviation: Velmora's macro file uses that word to mark its records."},
        {"onlyin", "", "\"onlyin\" cannot be an abbreviation: Velmora's macro file uses that word to mark its records."},
        {" sig", "", "\" sig\" cannot be an abbreviation: it may not start or end with a blank."},
        {"brb ", "", "\"brb \" cannot be an abbreviation: it may not start or end with a blank."},
        {"\tx", "", "\"\tx\" cannot be an abbreviation: it may not start or end with a blank."},
        {"", "name", "\"name\" cannot be a program list: Velmora's macro file uses that word to mark its records."},
        {";sig", "", ""},
        {"a b", "", ""},
        {"ends", "", ""},
        {"endx", "end.exe", ""},
        {"", "", ""},
        {"", "notepad.exe;winword.exe", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TriggerRefusal(Triggered(c.abbreviation, c.onlyIn)), c.refusal)
            << "\"" << c.abbreviation << "\" / \"" << c.onlyIn << "\"";
    }
}

class AbbreviationStatus : public ::testing::Test {
protected:
    tests::FakeCodePage codePage;
    TMacroList macros;

    void Add(const std::string& name, const std::string& abbreviation, const std::string& onlyIn = {})
    {
        auto macro = std::make_shared<TMacro>(Triggered(abbreviation, onlyIn));
        macro->Name = name;
        macros.push_back({name, macro});
    }
};

TEST_F(AbbreviationStatus, NamesTheFirstOtherMacroInTheWayWhereProgramsClash)
{
    Add("Sign", ";sig");
    Add("Short", ";s");
    Add("Longer", ";sigx");
    Add("Tail", "ig");
    Add("Whole", "x;sig");
    Add("Word", "sig", "winword.exe");
    Add("Pad", "brb", "NOTEPAD.EXE");
    Add("Empty", "");

    struct Case {
        std::string abbreviation;
        std::string onlyIn;
        std::string status;
    };
    const std::vector<Case> cases{
        {";sig", "", "\";sig\" is also used by \"Sign\""},
        {";si", "", "\";si\" is the start of \";sig\", used by \"Sign\""},
        // The first in list order of those that start it.
        {";sigxy", "", "\";sigxy\" begins with \";sig\", used by \"Sign\""},
        {"g", "", "\"g\" is the end of \";sig\", used by \"Sign\""},
        {"zig", "", "\"zig\" ends with \"ig\", used by \"Tail\""},
        // An equal one comes before one that merely starts it.
        {";s", "", "\";s\" is also used by \"Short\""},
        {"q", "", "\"q\" is free"},
        {"SIG", "", "\"SIG\" is free"},
        // One list empty and one not never clash; two naming one program do.
        {"brb", "", "\"brb\" is free"},
        {"brb", "wordpad.exe", "\"brb\" is free"},
        {"brb", "wordpad.exe;notepad.exe", "\"brb\" is also used by \"Pad\""},
        {"sig", "winword.exe", "\"sig\" is also used by \"Word\""},
        {"sig", "", "\"sig\" is the end of \";sig\", used by \"Sign\""},
        {"", "", ""},
        {"end", "", "\"end\" cannot be an abbreviation: Velmora's macro file uses that word to mark its records."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AbbreviationStatusText(Triggered(c.abbreviation, c.onlyIn), macros, -1, codePage), c.status)
            << c.abbreviation << " in " << c.onlyIn;
    }
}

TEST_F(AbbreviationStatus, TheEditedMacroIsNotInItsOwnWay)
{
    Add("Sign", ";sig");
    Add("Other", ";sig");
    EXPECT_EQ(AbbreviationStatusText(*macros[0].Macro, macros, 0, codePage), "\";sig\" is also used by \"Other\"");
    EXPECT_EQ(AbbreviationStatusText(*macros[1].Macro, macros, 1, codePage), "\";sig\" is also used by \"Sign\"");
    macros.pop_back();
    EXPECT_EQ(AbbreviationStatusText(*macros[0].Macro, macros, 0, codePage), "\";sig\" is free");
}

}  // namespace
}  // namespace velmora
