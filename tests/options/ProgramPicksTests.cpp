// The running programs the picker offers, and the program list with the picks added.

#include "options/ProgramPicks.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fakes/FakeCodePage.h"

namespace velmora {
namespace {

using Names = std::vector<std::u16string>;

TEST(ProgramPicks, EachNameOnceIgnoringCaseOnlyWhatTheFileCanKeepAndWhatWasWrittenStays)
{
    tests::FakeCodePage codePage;
    EXPECT_EQ(ProgramChoices({u"winword.exe", u"Explorer.EXE", u"", u"\u00c9dit.exe", u"\u00e9dit.exe",
                              u"\u65e5.exe", u"explorer.exe"},
                             codePage),
              (Names{u"Explorer.EXE", u"winword.exe", u"\u00c9dit.exe"}));
    const std::tuple<std::string, Names, std::string> cases[] = {
        {"", {u"notepad.exe", u"wordpad.exe"}, "notepad.exe;wordpad.exe"},
        {" caf\xe9.exe ; ", {u"CAF\u00c9.EXE", u"b.exe", u"B.EXE"}, " caf\xe9.exe ; b.exe"},
        {"a.exe", {u"\u65e5.exe", u""}, "a.exe"},
    };
    for (const auto& [list, picks, result] : cases) {
        EXPECT_EQ(AddPickedPrograms(list, picks, codePage), result) << list;
    }
}

}  // namespace
}  // namespace velmora
