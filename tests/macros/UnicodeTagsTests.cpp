#include "macros/UnicodeTags.h"

#include <tuple>

#include <gtest/gtest.h>

#include "fakes/FakeCodePage.h"

namespace velmora {
namespace {

struct Case {
    const char* name;
    std::u16string shown;
    std::string stored;
    bool typedAsShown;  // the shown text is also stored back as `stored`
};

// Stored text shows its valid U+ tags as the characters, nothing else; what
// the user types is stored with tags for what the code page cannot hold.
TEST(UnicodeTags, StoredAndShownTexts)
{
    const Case cases[] = {
        {"code page characters stay bytes", u"caf\u00e9 \u20ac5 \u00fd\u00fe\u00ff",
         "caf\xe9 \x80" "5 \xfd\xfe\xff", true},
        {"outside the code page, four digits", u"a \u2192 \u0100", "a {\"U+2192\"} {\"U+0100\"}", true},
        {"astral characters", u"\U0001F600!\U0010FFFF", "{\"U+1F600\"}!{\"U+10FFFF\"}", true},
        {"line breaks and tabs unchanged", u"a\r\n\tb\r\n", "a\r\n\tb\r\n", true},
        {"other tags stay", u"{\"Date\"}\u2192{\"Enter\"}", "{\"Date\"}{\"U+2192\"}{\"Enter\"}", true},
        {"lower case and blanks", u"\u2192\U0001F600", "{\" u+2192 \"}{\"u+1f600\"}", false},
        {"a written-out character of the code page", u"A\u00e9", "{\"U+0041\"}{\"U+e9\"}", false},
        {"a surrogate", u"{\"U+D800\"}", "{\"U+D800\"}", false},
        {"beyond the last character", u"{\"U+110000\"}", "{\"U+110000\"}", false},
        {"no digits", u"{\"U+\"}", "{\"U+\"}", false},
        {"not hexadecimal", u"{\"U+12G4\"}", "{\"U+12G4\"}", false},
        {"inside another tag", u"{\"Rand {\"U+41\"}", "{\"Rand {\"U+41\"}", false},
        {"unclosed", u"{\"U+2192", "{\"U+2192", false},
    };
    tests::FakeCodePage codePage;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ShowUnicodeTags(c.stored, codePage), c.shown);
        if (c.typedAsShown) {
            EXPECT_EQ(WriteUnicodeTags(c.shown, codePage), c.stored);
        }
    }
    const std::u16string loneSurrogates = {u'a', char16_t(0xD83D), u'b', char16_t(0xDE00)};
    EXPECT_EQ(WriteUnicodeTags(loneSurrogates, codePage), "a{\"U+FFFD\"}b{\"U+FFFD\"}");
}

// In every code page the box shows whole characters, stores what the code
// page has in its own bytes, and gives back a text left as shown byte for
// byte, even one that showing alone could not restore.
TEST(UnicodeTags, TextsInEveryCodePage)
{
    const std::tuple<int, std::string, std::u16string, const char*> cases[] = {
        {932, "\x93\xFA\x96\x7B\x8C\xEA", u"日本語", nullptr},
        {932, "\x83\x7B\"U+2192\"}", u"ボ\"U+2192\"}", nullptr},  // no tag starts in ボ
        {932, "\x83\x5C{\"U+2192\"}\xB1", u"ソ→ｱ", "\x83\x5C{\"U+2192\"}\xB1"},
        {932, "{\"U+65E5\"}", u"日", "\x93\xFA"},
        {932, "a\x83", u"a\uFFFD", "a{\"U+FFFD\"}"},
        {65001, "\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80", u"é日\U0001F600", nullptr},
        {65001, "\xE6\x97", u"\uFFFD\uFFFD", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {1251, "\xFD{\"U+00E9\"}", u"эé", nullptr},
        {1252, "{\"U+00E9\"}\x81", u"é\u0081", "\xE9\x81"},
    };
    tests::FakeCodePage codePage;
    for (const auto& [page, stored, shown, writtenAnew] : cases) {
        SCOPED_TRACE(stored);
        codePage.Use(page);
        StoredTextAsShown box;
        EXPECT_EQ(box.Show(stored, codePage), shown);
        EXPECT_EQ(box.Write(shown, codePage), stored) << "left as shown";
        EXPECT_EQ(WriteUnicodeTags(shown, codePage), writtenAnew ? std::string(writtenAnew) : stored) << "typed anew";
        EXPECT_EQ(box.Write(shown + u"x", codePage), WriteUnicodeTags(shown + u"x", codePage)) << "changed";
    }
}

}  // namespace
}  // namespace velmora
