#include "hotkeys/AbbreviationTrigger.h"

#include <gtest/gtest.h>

#include "fakes/AbbreviationRig.h"

namespace velmora {
namespace {

// Keys are looked at only while a macro has an abbreviation; a click or a
// foreground change forgets what was typed. The watch is told of the run
// before it types anything, and of its end, so that no key the user
// presses meanwhile sets anything off.
TEST(AbbreviationTrigger, FollowsTheTypingAndMarksTheRun)
{
    tests::AbbreviationRig rig;
    auto& platform = rig.platform;
    auto& macros = rig.macros;
    auto& watch = rig.watch;
    auto& foreground = rig.foreground;
    auto& trigger = rig.trigger;
    int changesHeard = 0;
    int runsEnded = 0;
    foreground.Changed = [&] { ++changesHeard; };
    trigger.Attach();
    trigger.RunEnded = [&] { ++runsEnded; };
    std::string marks;
    platform.keyboard.beforeEvent = [&](const tests::KeyEvent&) { marks += watch.macroRunning ? '+' : '-'; };
    // One macro typing "S", in force at once.
    const auto follow = [&](const char* abbreviation) {
        auto action = std::make_unique<TTextMacro>();
        action->Text = "S";
        macros = {{"m", std::make_shared<TMacro>()}};
        macros[0].Macro->Id = 1;
        macros[0].Macro->Abbreviation = abbreviation;
        macros[0].Macro->Settings = std::move(action);
        trigger.Follow(macros);
    };

    follow("");
    EXPECT_FALSE(watch.watching) << "no abbreviation, yet keys are looked at";
    follow(";sig");
    watch.Type(u";si");
    watch.Click();
    watch.Type(u"g ;si");
    foreground.Switch(u"wordpad.exe");
    watch.Type(u"g ;sig");
    EXPECT_EQ(platform.keyboard.typed, "\b\b\b\bS");
    EXPECT_EQ(marks, std::string(marks.size(), '+')) << "an event of the run left unmarked";
    EXPECT_FALSE(watch.macroRunning);
    EXPECT_EQ(runsEnded, 1);
    EXPECT_EQ(changesHeard, 1) << "the foreground's other listener was lost";
    follow("");
    EXPECT_FALSE(watch.watching);
}

}  // namespace
}  // namespace velmora
