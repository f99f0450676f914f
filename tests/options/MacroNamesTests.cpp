#include "options/MacroNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fakes/FakeCodePage.h"
#include "macros/UnicodeTags.h"

namespace velmora {
namespace {

// A typed name is stored in the code page with U+ tags and shows again as
// typed; a name that still shows as it was loaded keeps its bytes.
TEST(MacroNames, TypedNamesAreStoredAndUnchangedOnesKeepTheirBytes)
{
    struct Case {
        int codePage;
        std::u16string shown;
        std::string previous;
        std::string stored;
    };
    const Case cases[] = {
        {1251, u"\u041f\u0440\u0438 \u2192", "", "\xcf\xf0\xe8 {\"U+2192\"}"},
        {1252, u"\u041f\U0001F600 caf\u00e9", "New macro.", "{\"U+041F\"}{\"U+1F600\"} caf\xe9"},
        {1252, u"\u0416", "{\"u+0416\"}", "{\"u+0416\"}"},
        {1252, u"caf\u00e9", "caf{\" U+E9 \"}", "caf{\" U+E9 \"}"},
        {1254, u"\u011f", "\xf0", "\xf0"},
        {1252, u"\u0416x", "{\"u+0416\"}", "{\"U+0416\"}x"},
    };
    tests::FakeCodePage codePage;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        codePage.Use(c.codePage);
        const std::string stored = StoredName(c.shown, c.previous, codePage);
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(ShowUnicodeTags(stored, codePage), c.shown);
    }
}

// Names sort as the user reads them, not by their stored bytes, and two
// spellings of one name are one name.
TEST(MacroNames, OrderGoesByTheShownNames)
{
    tests::FakeCodePage codePage;
    codePage.Use(1252);
    const NameCollation collation = ShownNameCollation(
        [](std::u16string_view a, std::u16string_view b) { return CompareIgnoringAsciiCase(a, b); }, codePage);
    std::vector<std::string> names = {"{\"U+0100\"}a", "\xc0z", "zed", "Apple", "{\"U+0416\"}"};
    std::stable_sort(names.begin(), names.end(),
                     [&](const std::string& a, const std::string& b) { return collation(a, b) < 0; });
    EXPECT_EQ(names, (std::vector<std::string>{"Apple", "zed", "\xc0z", "{\"U+0100\"}a", "{\"U+0416\"}"}));
    EXPECT_EQ(collation("caf\xe9", "CAF{\"u+00e9\"}"), 0);
}

}  // namespace
}  // namespace velmora
