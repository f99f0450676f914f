#include "options/MacroNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fakes/FakeCodePage.h"

namespace velmora {
namespace {

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
