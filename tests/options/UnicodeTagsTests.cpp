#include "options/UnicodeTags.h"

#include <gtest/gtest.h>

#include "fakes/FakeCodePage.h"

namespace velmora {
namespace {

struct RoundTrip {
    const char* name;
    std::u16string shown;
    std::string stored;
};

// Each shown text is stored as `stored`, and that is shown again as `shown`.
TEST(UnicodeTags, StoredTextShowsAgainAsTyped)
{
    const RoundTrip cases[] = {
        {"code page characters stay bytes", u"caf\u00e9 \u20ac5 \u00fd\u00fe\u00ff", "caf\xe9 \x80" "5 \xfd\xfe\xff"},
        {"a character outside the code page", u"a \u2192 b", "a {\"U+2192\"} b"},
        {"at least four digits", u"\u0100", "{\"U+0100\"}"},
        {"astral characters", u"smile \U0001F600!", "smile {\"U+1F600\"}!"},
        {"the last character", u"\U0010FFFF", "{\"U+10FFFF\"}"},
        {"line breaks and tabs unchanged", u"a\r\n\tb\r\n", "a\r\n\tb\r\n"},
        {"other tags stay", u"{\"Date\"}\u2192{\"Enter\"}", "{\"Date\"}{\"U+2192\"}{\"Enter\"}"},
    };
    testing::FakeCodePage codePage;
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WriteUnicodeTags(c.shown, codePage), c.stored);
        EXPECT_EQ(ShowUnicodeTags(c.stored, codePage), c.shown);
    }
}

struct Shown {
    const char* name;
    std::string stored;
    std::u16string shown;
};

TEST(UnicodeTags, ShowsOnlyTheTagsExpansionTypesAsCharacters)
{
    const Shown cases[] = {
        {"lower case and blanks", "{\" u+2192 \"}{\"u+1f600\"}", u"\u2192\U0001F600"},
        {"a written-out character of the code page", "{\"U+0041\"}{\"U+e9\"}", u"A\u00e9"},
        {"a surrogate", "{\"U+D800\"}", u"{\"U+D800\"}"},
        {"beyond the last character", "{\"U+110000\"}", u"{\"U+110000\"}"},
        {"no digits", "{\"U+\"}", u"{\"U+\"}"},
        {"not hexadecimal", "{\"U+12G4\"}", u"{\"U+12G4\"}"},
        {"seven digits", "{\"U+0002192\"}", u"{\"U+0002192\"}"},
        {"zero", "{\"U+0\"}", u"{\"U+0\"}"},
        {"inside another tag", "{\"Rand {\"U+41\"}", u"{\"Rand {\"U+41\"}"},
        {"unclosed", "{\"U+2192", u"{\"U+2192"},
    };
    testing::FakeCodePage codePage;
    for (const Shown& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ShowUnicodeTags(c.stored, codePage), c.shown);
    }
}

TEST(UnicodeTags, LoneSurrogatesAreStoredAsReplacementCharacters)
{
    testing::FakeCodePage codePage;
    const std::u16string pasted = {u'a', char16_t(0xD83D), u'b', char16_t(0xDE00)};
    EXPECT_EQ(WriteUnicodeTags(pasted, codePage), "a{\"U+FFFD\"}b{\"U+FFFD\"}");
}

TEST(UnicodeTags, FollowsTheSystemCodePage)
{
    testing::FakeCodePage codePage;
    codePage.Use(1251);
    EXPECT_EQ(WriteUnicodeTags(u"\u0416 \u00e9", codePage), "\xc6 {\"U+00E9\"}");
    EXPECT_EQ(ShowUnicodeTags("\xc6", codePage), u"\u0416");
}

}  // namespace
}  // namespace velmora
