// Abbreviations in the real program: typed with real keys into Wine's
// notepad, an abbreviation at the start of a word gives way to its macro's
// text, and the same characters inside a word stay as typed.

#include <gtest/gtest.h>

#include "e2e/support/VelmoraProcess.h"

namespace velmora {
namespace {

using tests::SaveMacros;
using tests::SetRegistryText;
using tests::TargetProcess;

class AbbreviationTest : public tests::VelmoraProcessTest {};

TEST_F(AbbreviationTest, AbbreviationAtAWordStartIsReplaced)
{
    const std::string settingsKey = UseOwnName("velmora-abbreviation");
    SetRegistryText(settingsKey, "FirstTimeRun_Checked", "False");
    auto signature = tests::TextMacro(1, "Best regards, Ann", 0);
    signature->RunAnother = false;
    signature->Abbreviation = ";sig";
    SaveMacros(directory, {{"signature", signature}});
    ASSERT_NO_FATAL_FAILURE(StartReady());
    TargetProcess notepad("notepad.exe", "Notepad", "Edit");
    ASSERT_TRUE(notepad.Focus()) << "notepad's text never got the focus";
    // The abbreviation comes last: keys typed on while its macro types would
    // land in the middle of the text.
    ASSERT_TRUE(tests::Xdotool(notepad.Window(), "type --delay 40 'x;sig then ;sig'"));
    const std::string expected = "x;sig then Best regards, Ann";
    EXPECT_EQ(notepad.WaitForText(expected), expected);
    CloseAndExpectCleanExit();
}

}  // namespace
}  // namespace velmora
