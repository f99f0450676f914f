#include "ui/WebLinks.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

TEST(WebLinks, HelpFileSitsBesideTheExe)
{
    char exe[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameA(nullptr, exe, MAX_PATH), 0u);
    std::string expected(exe);
    expected.erase(expected.find_last_of('\\') + 1);
    expected += "velmora.chm";
    EXPECT_EQ(HelpFilePath(), expected);
}

TEST(WebLinks, AddressesAreDistinctWebPages)
{
    const std::string pages[] = {kSupportPageAddress, kProductHomePageAddress, kMakerHomePageAddress};
    for (const std::string& page : pages) {
        EXPECT_EQ(page.rfind("https://", 0), 0u) << page;
    }
    EXPECT_NE(pages[0], pages[1]);
    EXPECT_NE(pages[1], pages[2]);
    EXPECT_NE(pages[0], pages[2]);
}

}  // namespace
}  // namespace velmora
