#include "options/MacroNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fakes/FakeCodePage.h"
#include "options/UnicodeTags.h"

namespace velmora {
namespace {

int FakeCollation(std::u16string_view a, std::u16string_view b)
{
    return CompareIgnoringAsciiCase(a, b);
}

// A name typed into the field is stored in the code page with U+ tags and
// shows again as typed; a name shown as it was loaded keeps its bytes.
TEST(MacroNames, TypedNamesAreStoredAndUnchangedOnesKeepTheirBytes)
{
    struct Case {
        const char* what;
        int codePage;
        std::u16string shown;
        std::string previous;
        std::string stored;
    };
    const Case cases[] = {
        {"new Cyrillic name in 1251", 1251, u"\u041f\u0440\u0438\u0432\u0435\u0442 \u2192", "",
         "\xcf\xf0\xe8\xe2\xe5\xf2 {\"U+2192\"}"},
        {"the same in 1252", 1252, u"\u041f\u0440\u0438 \u2192", "New macro.",
         "{\"U+041F\"}{\"U+0440\"}{\"U+0438\"} {\"U+2192\"}"},
        {"astral character", 1252, u"\U0001F600 caf\u00e9", "", "{\"U+1F600\"} caf\xe9"},
        {"unchanged, lower-case tag", 1252, u"\u0416", "{\"u+0416\"}", "{\"u+0416\"}"},
        {"unchanged, written-out code-page letter", 1252, u"caf\u00e9", "caf{\" U+E9 \"}", "caf{\" U+E9 \"}"},
        {"unchanged, code-page byte", 1254, u"\u011f", "\xf0", "\xf0"},
        {"changed: stored afresh", 1252, u"\u0416x", "{\"u+0416\"}", "{\"U+0416\"}x"},
    };
    tests::FakeCodePage codePage;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        codePage.Use(c.codePage);
        const std::string stored = StoredName(c.shown, c.previous, codePage);
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(ShowUnicodeTags(stored, codePage), c.shown);
    }
}

// Names are ordered as the user reads them, not by their stored bytes: a tag
// sorts by its letter, and two spellings of one letter are one name.
TEST(MacroNames, OrderGoesByTheShownNames)
{
    tests::FakeCodePage codePage;
    codePage.Use(1252);
    const NameCollation collation = ShownNameCollation(FakeCollation, codePage);
    std::vector<std::string> names = {"{\"U+0100\"}a", "\xc0z", "zed", "Apple", "{\"U+0416\"}"};
    std::stable_sort(names.begin(), names.end(),
                     [&](const std::string& a, const std::string& b) { return collation(a, b) < 0; });
    EXPECT_EQ(names, (std::vector<std::string>{"Apple", "zed", "\xc0z", "{\"U+0100\"}a", "{\"U+0416\"}"}));

    struct Pair {
        std::string a;
        std::string b;
        int sign;
    };
    const Pair pairs[] = {
        {"caf\xe9", "caf{\"U+00E9\"}", 0},
        {"{\"U+0416\"}", "{\"u+416\"}", 0},
        {"ABC", "abc", 0},
        {"\xe9", "{\"U+0100\"}", -1},
        {"{\"U+2192\"}", "\x80", 1},  // the arrow sorts after the euro sign, U+20AC
    };
    for (const Pair& p : pairs) {
        SCOPED_TRACE(p.a + " / " + p.b);
        const int result = collation(p.a, p.b);
        EXPECT_EQ((result > 0) - (result < 0), p.sign);
    }
}

}  // namespace
}  // namespace velmora
