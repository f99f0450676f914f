#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(CommandLine, FirstArgumentFollowsTheSystemSplittingRules)
{
    EXPECT_EQ(FirstArgument("velmora.exe /options"), "/options");
    EXPECT_EQ(FirstArgument("\"C:\\Program Files\\Velmora\\velmora.exe\" /shutdown extra"), "/shutdown");
    EXPECT_EQ(FirstArgument("velmora.exe   \"  /OPTIONS \"  x"), "  /OPTIONS ");
    EXPECT_EQ(FirstArgument("velmora.exe a\"b c\"d e"), "ab cd");
    EXPECT_EQ(FirstArgument("velmora.exe"), "");
    EXPECT_EQ(FirstArgument(""), "");
}

TEST(CommandLine, OnlyTheFirstArgumentCountsAfterTrimmingAndLowerCasing)
{
    const auto request = [](std::string_view line) { return ReadCommandLineRequest(line); };
    EXPECT_TRUE(request("velmora.exe \" /OPTIONS \t\"").options);
    EXPECT_TRUE(request("velmora.exe /Shutdown").shutdown);
    EXPECT_FALSE(request("velmora.exe /Shutdown").options);
    const CommandLineRequest both = request("velmora.exe /options /shutdown");
    EXPECT_TRUE(both.options);
    EXPECT_FALSE(both.shutdown);
    for (const char* ignored : {"velmora.exe", "velmora.exe options", "velmora.exe /opt", "velmora.exe -options",
                                "velmora.exe /options2", "velmora.exe x /options"}) {
        const CommandLineRequest none = request(ignored);
        EXPECT_FALSE(none.options || none.shutdown) << ignored;
    }
}

}  // namespace
}  // namespace velmora
