// The running programs the picker offers, and the program list with the picks added.

#include "options/ProgramPicks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeCodePage.h"

namespace velmora {
namespace {

using Names = std::vector<std::u16string>;

TEST(ProgramChoices, EachNameOnceInOrderIgnoringCaseAndOnlyWhatTheFileCanKeep)
{
    struct Case {
        const char* what;
        Names running;
        Names offered;
    };
    const std::vector<Case> cases{
        {"sorted ignoring case", {u"winword.exe", u"Explorer.EXE", u"notepad.exe"},
         {u"Explorer.EXE", u"notepad.exe", u"winword.exe"}},
        {"repeats and case variants are one, the first kept",
         {u"svchost.exe", u"SVCHOST.EXE", u"svchost.exe", u"\u00c9dit.exe", u"\u00e9dit.exe"},
         {u"svchost.exe", u"\u00c9dit.exe"}},
        {"a system process without a name is left out", {u"", u"a.exe"}, {u"a.exe"}},
        {"a name outside the code page is left out", {u"\u65e5\u672c.exe", u"caf\u00e9.exe"}, {u"caf\u00e9.exe"}},
        {"nothing running", {}, {}},
    };
    tests::FakeCodePage codePage;
    for (const Case& c : cases) {
        EXPECT_EQ(ProgramChoices(c.running, codePage), c.offered) << c.what;
    }
}

TEST(AddPickedPrograms, PicksJoinTheListOnceEachAndWhatWasWrittenStays)
{
    struct Case {
        std::string list;
        Names picks;
        std::string result;
    };
    const std::vector<Case> cases{
        {"", {u"notepad.exe"}, "notepad.exe"},
        {"", {u"notepad.exe", u"wordpad.exe"}, "notepad.exe;wordpad.exe"},
        {"notepad.exe", {u"wordpad.exe"}, "notepad.exe;wordpad.exe"},
        {"Notepad.EXE", {u"notepad.exe", u"wordpad.exe"}, "Notepad.EXE;wordpad.exe"},
        {"notepad.exe;", {u"wordpad.exe"}, "notepad.exe;wordpad.exe"},
        {" notepad.exe ; ", {u"wordpad.exe"}, " notepad.exe ; wordpad.exe"},
        {"a.exe", {u"b.exe", u"B.EXE"}, "a.exe;b.exe"},
        {"caf\xe9.exe", {u"CAF\u00c9.EXE"}, "caf\xe9.exe"},
        {"a.exe", {u"\u65e5.exe", u""}, "a.exe"},
        {"a.exe", {}, "a.exe"},
    };
    tests::FakeCodePage codePage;
    for (const Case& c : cases) {
        EXPECT_EQ(AddPickedPrograms(c.list, c.picks, codePage), c.result) << c.list;
    }
}

}  // namespace
}  // namespace velmora
