// The running programs the picker offers, and the program list with the picks added.

#include "options/ProgramPicks.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "fakes/FakeCodePage.h"

namespace velmora {
namespace {

using Names = std::vector<std::u16string>;

TEST(ProgramChoices, EachNameOnceInOrderIgnoringCaseAndOnlyWhatTheFileCanKeep)
{
    tests::FakeCodePage codePage;
    EXPECT_EQ(ProgramChoices({u"winword.exe", u"Explorer.EXE", u"svchost.exe", u"", u"SVCHOST.EXE",
                              u"\u00c9dit.exe", u"\u00e9dit.exe", u"\u65e5\u672c.exe", u"notepad.exe"},
                             codePage),
              (Names{u"Explorer.EXE", u"notepad.exe", u"svchost.exe", u"winword.exe", u"\u00c9dit.exe"}));
}

TEST(AddPickedPrograms, PicksJoinTheListOnceEachAndWhatWasWrittenStays)
{
    const std::vector<std::tuple<std::string, Names, std::string>> cases{
        {"", {u"notepad.exe", u"wordpad.exe"}, "notepad.exe;wordpad.exe"},
        {"Notepad.EXE", {u"notepad.exe", u"wordpad.exe"}, "Notepad.EXE;wordpad.exe"},
        {" notepad.exe ; ", {u"wordpad.exe"}, " notepad.exe ; wordpad.exe"},
        {"a.exe", {u"b.exe", u"B.EXE"}, "a.exe;b.exe"},
        {"caf\xe9.exe", {u"CAF\u00c9.EXE"}, "caf\xe9.exe"},
        {"a.exe", {u"\u65e5.exe", u""}, "a.exe"},
    };
    tests::FakeCodePage codePage;
    for (const auto& [list, picks, result] : cases) {
        EXPECT_EQ(AddPickedPrograms(list, picks, codePage), result) << list;
    }
}

}  // namespace
}  // namespace velmora
