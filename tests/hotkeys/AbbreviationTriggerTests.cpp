#include "hotkeys/AbbreviationTrigger.h"

#include <gtest/gtest.h>

#include "fakes/FakeForegroundWatch.h"
#include "fakes/FakeHotKeys.h"
#include "fakes/FakeKeyWatch.h"
#include "fakes/FakePlatform.h"

namespace velmora {
namespace {

class AbbreviationTriggerTest : public ::testing::Test {
protected:
    AbbreviationTriggerTest()
    {
        foreground.Changed = [this] { ++changesHeard; };
        trigger.Attach();
        trigger.RunEnded = [this] { ++runsEnded; };
    }

    std::shared_ptr<TMacro> Add(std::int32_t id, std::string abbreviation, std::unique_ptr<TMacroSettings> action,
                                std::int32_t next = 0)
    {
        auto macro = std::make_shared<TMacro>();
        macro->Id = id;
        macro->Abbreviation = std::move(abbreviation);
        macro->Settings = std::move(action);
        macro->RunAnother = next != 0;
        macro->RunAnotherId = next;
        macros.push_back({"m" + std::to_string(id), macro});
        return macro;
    }
    static std::unique_ptr<TTextMacro> Text(std::string text)
    {
        auto action = std::make_unique<TTextMacro>();
        action->Text = std::move(text);
        return action;
    }

    tests::FakePlatform platform;
    TMacroList macros;
    RandomGenerator random;
    MacroRunner runner{platform.Get(), macros, random};
    tests::FakeHotKeys hotKeys;
    HotKeyDispatcher dispatcher{runner, macros, hotKeys, platform.codePage};
    tests::FakeKeyWatch watch;
    tests::FakeForegroundWatch foreground;
    AbbreviationTrigger trigger{watch, foreground, dispatcher, platform.codePage};
    int changesHeard = 0;
    int runsEnded = 0;
};

// Any action kind runs, and its chain, as for a hot key.
TEST_F(AbbreviationTriggerTest, AbbreviationIsTakenBackThenTheMacroRuns)
{
    auto command = std::make_unique<TVelmoraMacro>();
    command->Action = static_cast<std::int32_t>(VelmoraAction::OpenOptions);
    Add(1, ";sig", std::move(command), 2);
    Add(2, "", Text("Best regards, Ann"));
    bool opened = false;
    runner.OpenOptions = [&] { opened = true; };
    trigger.Follow(macros);
    watch.Type(u"Hi ;sig");
    EXPECT_TRUE(opened);
    EXPECT_EQ(platform.keyboard.typed, "\b\b\b\bBest regards, Ann");
    for (const auto& call : platform.keyboard.calls) {
        for (const KeyInput& event : call) {
            EXPECT_EQ(event.extraInfo, kOwnInputMark) << "an event the hook would read as the user's";
        }
    }
    EXPECT_EQ(runsEnded, 1);
}

TEST_F(AbbreviationTriggerTest, WatchRunsOnlyWhileAMacroHasAnAbbreviation)
{
    Add(1, "", Text("a"));
    trigger.Follow(macros);
    EXPECT_FALSE(watch.watching) << "no abbreviation, yet keys are looked at";
    macros[0].Macro->Abbreviation = "brb";
    trigger.Follow(macros);
    EXPECT_TRUE(watch.watching);
    trigger.Follow({});
    EXPECT_FALSE(watch.watching);
    EXPECT_EQ(watch.starts, 1);
}

TEST_F(AbbreviationTriggerTest, ClickAndForegroundChangeForgetTheTyping)
{
    Add(1, ";sig", Text("S"));
    Add(2, "brb", Text("B"));
    trigger.Follow(macros);
    const std::pair<const char*, std::function<void()>> resets[] = {
        {"click", [&] { watch.Click(); }},
        {"foreground change", [&] { foreground.Switch(u"wordpad.exe"); }},
    };
    for (const auto& [name, reset] : resets) {
        platform.keyboard.typed.clear();
        watch.Type(u";si");
        reset();
        watch.Type(u"g");
        EXPECT_EQ(platform.keyboard.typed, "") << name;
        watch.Type(u"x");
        reset();
        watch.Type(u"brb");
        EXPECT_EQ(platform.keyboard.typed, "\b\b\bB") << name;
    }
    EXPECT_EQ(changesHeard, 2) << "the foreground's other listener was lost";
}

// The user's keys pressed while a macro types, even when heard after the
// run, set nothing off; nor do the program's own.
TEST_F(AbbreviationTriggerTest, KeysPressedDuringARunSetNothingOff)
{
    Add(1, ";a", Text("xyz"));
    Add(2, ";b", Text("B"));
    trigger.Follow(macros);
    std::vector<bool> marked;
    platform.keyboard.beforeEvent = [&](const tests::KeyEvent&) {
        marked.push_back(watch.macroRunning);
        if (marked.size() == 3) {
            watch.Type(u";b");
        }
    };
    watch.Type(u";a");
    EXPECT_EQ(platform.keyboard.typed, "\b\bxyz");
    EXPECT_FALSE(marked.empty());
    EXPECT_EQ(std::count(marked.begin(), marked.end(), false), 0) << "an event of the run left unmarked";
    EXPECT_FALSE(watch.macroRunning);
    watch.Type(u" ;b");
    EXPECT_EQ(platform.keyboard.typed, "\b\bxyz\b\bB");
}

}  // namespace
}  // namespace velmora
