#include "macros/ProgramList.h"

#include <gtest/gtest.h>

#include "fakes/FakeCodePage.h"

namespace velmora {
namespace {

using tests::FakeCodePage;

TEST(ProgramList_Names, SplitAtSemicolonsTrimmedWithoutEmptyParts)
{
    struct Case {
        std::string onlyIn;
        std::vector<std::u16string> names;
    };
    const Case cases[] = {
        {"", {}},
        {" ; ;\t;", {}},
        {"  notepad.exe ;\twinword.exe\t", {u"notepad.exe", u"winword.exe"}},
        {";;notepad.exe;;", {u"notepad.exe"}},
        {"my editor.exe", {u"my editor.exe"}},  // blanks inside a name stay
        {"\xE9" "diteur.exe", {u"\u00E9diteur.exe"}},
    };
    FakeCodePage codePage;
    for (const auto& [onlyIn, names] : cases) {
        EXPECT_EQ(ProgramNames(onlyIn, codePage), names) << onlyIn;
    }
}

TEST(ProgramList_Names, ReadInTheCodePageOfTheFile)
{
    struct Case {
        int codePage;
        std::u32string onlyIn;
        std::vector<std::u16string> names;
    };
    const Case cases[] = {
        {1251, U"\u0431\u043B\u043E\u043A\u043D\u043E\u0442.exe", {u"\u0431\u043B\u043E\u043A\u043D\u043E\u0442.exe"}},
        // The trail byte of 表 is '\', of ソ too; neither splits a name.
        {932, U"\u8868.exe;\u30BD.exe", {u"\u8868.exe", u"\u30BD.exe"}},
        {65001, U"\u65E5\u672C.exe; a.exe", {u"\u65E5\u672C.exe", u"a.exe"}},
    };
    for (const auto& [page, onlyIn, names] : cases) {
        FakeCodePage codePage;
        codePage.Use(page);
        EXPECT_EQ(ProgramNames(codePage.Encode(onlyIn), codePage), names) << page;
    }
}

TEST(ProgramList_Fit, NamedDefaultOrNone)
{
    struct Case {
        std::string onlyIn;
        std::u16string program;
        ProgramFit fit;
    };
    const Case cases[] = {
        {" ; ", u"notepad.exe", ProgramFit::Default},
        {"", u"", ProgramFit::Default},
        {"wordpad.exe;notepad.exe", u"NOTEPAD.EXE", ProgramFit::Named},
        {"Notepad.Exe", u"notepad.exe", ProgramFit::Named},
        {"notepad.exe", u"wordpad.exe", ProgramFit::None},
        {"notepad", u"notepad.exe", ProgramFit::None},
        // The foreground program is unknown: only a macro for every program fits.
        {"notepad.exe", u"", ProgramFit::None},
        {"\xC9" "DITEUR.EXE", u"\u00E9diteur.exe", ProgramFit::Named},
    };
    FakeCodePage codePage;
    for (const auto& [onlyIn, program, fit] : cases) {
        EXPECT_EQ(FitOf(onlyIn, program, codePage), fit) << onlyIn;
    }
}

TEST(ProgramList_Clash, OnlyListsThatCanClaimTheSameProgram)
{
    struct Case {
        std::string a;
        std::string b;
        bool clash;
    };
    const Case cases[] = {
        {" ; ", "", true},  // a list of blanks serves every program too
        {"", "notepad.exe", false},
        {"notepad.exe;wordpad.exe", "calc.exe;WORDPAD.EXE", true},
        {"a.exe;b.exe", "c.exe;d.exe", false},
    };
    FakeCodePage codePage;
    for (const auto& [a, b, clash] : cases) {
        EXPECT_EQ(ProgramListsClash(a, b, codePage), clash) << a << " | " << b;
        EXPECT_EQ(ProgramListsClash(b, a, codePage), clash) << b << " | " << a;
    }
}

TEST(ProgramList_Case, LettersFoldOneToOneAsFileNamesDo)
{
    struct Case {
        std::u16string a;
        std::u16string b;
        bool same;
    };
    const Case cases[] = {
        {u"NOTEPAD.EXE", u"notepad.exe", true},
        {u"\u00C0\u00DE\u00D6", u"\u00E0\u00FE\u00F6", true},       // Latin-1
        {u"\u00D7", u"\u00F7", false},                               // times and divide are no letters
        {u"\u0178", u"\u00FF", true},                                // Y with diaeresis
        {u"\u0100\u0132\u0139\u0147\u014A\u0179\u017D", u"\u0101\u0133\u013A\u0148\u014B\u017A\u017E", true},
        {u"\u0101", u"\u0102", false},                               // neighbours, not partners
        {u"I", u"\u0131", false},                                    // the Turkish i's stay apart
        {u"\u0391\u03A3\u03A3", u"\u03B1\u03C3\u03C2", true},        // Greek, final sigma too
        {u"\u0410\u042F\u0401\u040F", u"\u0430\u044F\u0451\u045F", true},  // Cyrillic
        {u"STRASSE", u"stra\u00DFe", false},                          // one letter for one
        {u"abc", u"abcd", false},
    };
    for (const auto& [a, b, same] : cases) {
        EXPECT_EQ(SameProgramName(a, b), same);
        EXPECT_EQ(SameProgramName(b, a), same);
    }
}

}  // namespace
}  // namespace velmora
