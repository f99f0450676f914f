#include "macros/ProgramList.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fakes/FakeCodePage.h"

namespace velmora {
namespace {

using tests::FakeCodePage;
using Names = std::vector<std::u16string>;

TEST(ProgramList, NamesSplitAtSemicolonsTrimmedWithoutEmptyPartsInTheFilesCodePage)
{
    const std::tuple<int, std::u32string, Names> cases[] = {
        {1252, U" ; ;\t;", {}},
        {1252, U";  my editor.exe ;\tb.exe\t;", {u"my editor.exe", u"b.exe"}},
        {1251, U"\u0431\u043B\u043E\u043A.exe", {u"\u0431\u043B\u043E\u043A.exe"}},
        {932, U"\u8868.exe;\u30BD.exe", {u"\u8868.exe", u"\u30BD.exe"}},  // trail bytes '\', never a split
    };
    for (const auto& [page, onlyIn, names] : cases) {
        FakeCodePage codePage;
        codePage.Use(page);
        EXPECT_EQ(ProgramNames(codePage.Encode(onlyIn), codePage), names) << page;
    }
}

TEST(ProgramList, FitAndClash)
{
    const std::tuple<std::string, std::u16string, ProgramFit> fits[] = {
        {" ; ", u"notepad.exe", ProgramFit::Default},
        {"wordpad.exe;Notepad.Exe", u"NOTEPAD.EXE", ProgramFit::Named},
        {"notepad", u"notepad.exe", ProgramFit::None},
        {"notepad.exe", u"", ProgramFit::None},  // the program in front is unknown
    };
    const std::tuple<std::string, std::string, bool> clashes[] = {
        {" ; ", "", true}, {"", "a.exe", false}, {"a.exe;b.exe", "c.exe;B.EXE", true}, {"a.exe", "c.exe", false}};
    FakeCodePage codePage;
    for (const auto& [onlyIn, program, fit] : fits) {
        EXPECT_EQ(FitOf(onlyIn, program, codePage), fit) << onlyIn;
    }
    for (const auto& [a, b, clash] : clashes) {
        EXPECT_EQ(std::pair(ProgramListsClash(a, b, codePage), ProgramListsClash(b, a, codePage)),
                  std::pair(clash, clash))
            << a << " | " << b;
    }
}

TEST(ProgramList, LettersFoldOneToOneAsFileNamesDo)
{
    const std::tuple<std::u16string, std::u16string, bool> cases[] = {
        {u"\u00C0\u00DE\u0178", u"\u00E0\u00FE\u00FF", true},            // Latin-1
        {u"\u00D7", u"\u00F7", false},                                    // times and divide are no letters
        {u"\u0100\u0139\u014A\u017D", u"\u0101\u013A\u014B\u017E", true},  // Extended-A, both pairings
        {u"\u0101", u"\u0102", false},                                    // neighbours, not partners
        {u"I", u"\u0131", false},                                         // the Turkish i's stay apart
        {u"\u03A3\u03A3\u0410\u0401", u"\u03C3\u03C2\u0430\u0451", true},  // Greek final sigma, Cyrillic
        {u"STRASSE", u"stra\u00DFe", false},                              // one letter for one
    };
    for (const auto& [a, b, same] : cases) {
        EXPECT_EQ(std::pair(SameProgramName(a, b), SameProgramName(b, a)), std::pair(same, same));
    }
}

}  // namespace
}  // namespace velmora
