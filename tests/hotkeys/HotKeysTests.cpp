#include "hotkeys/HotKeys.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/FakeForegroundWatch.h"
#include "fakes/FakeHotKeys.h"
#include "fakes/FakePlatform.h"

namespace velmora {
namespace {

using tests::FakeHotKeys;
using tests::FakePlatform;

std::shared_ptr<TMacro> Macro(std::int32_t id, std::string name, std::string key, bool ctrl = false,
                              bool alt = false)
{
    auto macro = std::make_shared<TMacro>();
    macro->Id = id;
    macro->Name = std::move(name);
    macro->HotKey = std::move(key);
    macro->HotKeyCtrl = ctrl;
    macro->HotKeyAlt = alt;
    return macro;
}

TEST(KeyNameToVirtualKey, NamesResolveExactlyAsWritten)
{
    FakePlatform platform;
    const auto code = [&](std::string_view name) { return KeyNameToVirtualKey(name, platform.keyboard); };
    EXPECT_EQ(code("A"), 65u) << "the letter's key, without its Shift";
    EXPECT_EQ(code("a"), 65u);
    EXPECT_EQ(code("7"), 0x37u);
    EXPECT_EQ(code(";"), 0xBAu);
    EXPECT_EQ(code("\x01"), 255u) << "a character no key types";
    EXPECT_EQ(code("F1"), 0x70u);
    EXPECT_EQ(code("F12"), 0x7Bu);
    EXPECT_EQ(code("F24"), 0x87u);
    for (const char* unknown : {"f5", "F0", "F25", "F01", "F1x", "Page up", "PageUp", "", "[None]"}) {
        EXPECT_EQ(code(unknown), 0u) << unknown;
    }
    EXPECT_EQ(code("Insert"), 0x2Du);
    EXPECT_EQ(code("Delete"), 0x2Eu);
    EXPECT_EQ(code("Home"), 0x24u);
    EXPECT_EQ(code("End"), 0x23u);
    EXPECT_EQ(code("Page Up"), 0x21u);
    EXPECT_EQ(code("Page Down"), 0x22u);
    EXPECT_EQ(code("Backspace"), 0x08u);
    EXPECT_EQ(code("Escape"), 0x1Bu);
}

// Letters and digits name the same virtual key on every layout; punctuation
// names the key that types it (AltGr like Shift dropped), or where the layout
// has none, the key in the same place on a US keyboard.
TEST(KeyNameToVirtualKey, NamesFindAKeyOnEveryLayout)
{
    using tests::Layout;
    const std::tuple<Layout, std::string_view, std::uint32_t> cases[] = {
        {Layout::Russian, "A", 'A'},  {Layout::Russian, "v", 'V'},  {Layout::Russian, "7", '7'},
        {Layout::Russian, "[", 0xDB}, {Layout::Russian, "'", 0xDE}, {Layout::Russian, "`", 0xC0},
        {Layout::Russian, "/", 0xDC}, {Layout::German, "Z", 'Z'},   {Layout::German, "[", '8'},
        {Layout::German, "-", 0xBD},  {Layout::French, "1", '1'},   {Layout::French, ";", 0xBE},
        {Layout::French, "\x01", 255},
    };
    for (const auto& [layout, name, key] : cases) {
        FakePlatform platform;
        platform.keyboard.layout = layout;
        platform.codePage.Use(layout == Layout::Russian ? 1251 : 1252);
        EXPECT_EQ(KeyNameToVirtualKey(name, platform.keyboard), key) << name;
    }
}

TEST(HotKeyTexts, DisplayAndRegistrationOrders)
{
    auto all = Macro(1, "All", "Page Down", true, true);
    all->HotKeyWin = all->HotKeyShift = true;
    EXPECT_EQ(HotKeyDisplayText(*all), "Win + Shift + Ctrl + Alt + Page Down");
    EXPECT_EQ(HotKeyRegistrationText(*all), "Win + Ctrl + Shift + Alt + Page Down");
    EXPECT_EQ(HotKeyDisplayText(*Macro(2, "Plain", "F5")), "F5");
}

class RegisterHotKeysTest : public ::testing::Test {
protected:
    FakePlatform platform;
    FakeHotKeys hotKeys;
    tests::FakeForegroundWatch foreground;
    HotKeyRegistrar registrar{hotKeys, platform.keyboard, platform.codePage, foreground};

    void SetUp() override
    {
        foreground.Changed = [this] { registrar.ForegroundChanged(); };
    }
};

TEST_F(RegisterHotKeysTest, RefusedHotKeysAreListedInMacroListOrderWithWhatHoldsThem)
{
    hotKeys.takenElsewhere = {{kModControl | kModAlt, 0x74}, {kModWin, 'E'}};
    auto files = Macro(6, "Files", "E");
    files->HotKeyWin = true;
    TMacroList macros = {
        {"z", Macro(1, "Zulu", "A", true)},
        {"n", Macro(2, "New macro.", "F5", true, true)},
        {"d", Macro(3, "Duplicate", "a", true)},
        {"l", Macro(4, "Lower", "f5")},
        {"m", Macro(5, "Modifiers only", "", true, true)},
        {"f", files},
        // Refused like the first, which got nothing: that one is not to blame.
        {"s", Macro(7, "Second", "F5", true, true)},
    };
    const auto errors = registrar.RegisterHotKeys(macros);
    EXPECT_EQ(errors, (std::vector<std::string>{
                          "[Ctrl + Alt + F5] New macro. - taken by another program",
                          "[Ctrl + a] Duplicate - also used by \"Zulu\"",
                          "[Win + E] Files - reserved by Windows (opens File Explorer)",
                          "[Ctrl + Alt + F5] Second - taken by another program",
                      }));
    EXPECT_EQ(hotKeys.registered.at(1), std::make_pair(kModControl | kModNoRepeat, 65u)) << "a held key runs once";
    EXPECT_EQ(hotKeys.registered.at(4), std::make_pair(kModNoRepeat, 0u)) << "an unknown name is offered as code 0";
    EXPECT_EQ(hotKeys.registered.count(5), 0u) << "no key name, nothing registered";
    EXPECT_EQ(macros[1].Macro->VirtualKey, 0x74u) << "the key is stored even when refused";
    EXPECT_EQ(macros[4].Macro->VirtualKey, 0u);
}

TEST_F(RegisterHotKeysTest, UnregisterCoversEveryMacro)
{
    TMacroList macros = {{"a", Macro(7, "A", "A")}, {"b", Macro(9, "B", "")}};
    registrar.RegisterHotKeys(macros);
    registrar.UnregisterHotKeys(macros);
    EXPECT_EQ(hotKeys.unregistered, (std::vector<std::int32_t>{7, 9}));
    EXPECT_TRUE(hotKeys.registered.empty());
    EXPECT_TRUE(registrar.RegisterHotKeys({}).empty());
}

std::shared_ptr<TMacro> ForPrograms(std::int32_t id, std::string key, std::string onlyIn)
{
    auto macro = Macro(id, "m" + std::to_string(id), std::move(key), /*ctrl=*/true);
    macro->OnlyIn = std::move(onlyIn);
    return macro;
}

using Ids = std::vector<std::int32_t>;

// The macros registered now.
Ids Registered(const FakeHotKeys& hotKeys)
{
    Ids ids;
    for (const auto& [id, combination] : hotKeys.registered) {
        ids.push_back(id);
    }
    return ids;
}

// K: one macro for notepad, one for every other program, one for wordpad and
// calc. W: only for wordpad. N: only for notepad, then for every program.
// J, only for notepad, is held by another program at load.
TEST_F(RegisterHotKeysTest, EachCombinationCarriesTheMacroThatFitsTheProgramInFront)
{
    const TMacroList macros = {
        {"a", ForPrograms(1, "K", "notepad.exe")},          {"b", ForPrograms(2, "K", "")},
        {"c", ForPrograms(3, "K", "WordPad.exe; calc.exe")}, {"d", ForPrograms(4, "W", "wordpad.exe")},
        {"e", ForPrograms(5, "N", "notepad.exe")},          {"f", ForPrograms(6, "N", "")},
        {"g", ForPrograms(7, "J", "notepad.exe")},
    };
    hotKeys.takenElsewhere = {{kModControl, 'J'}};
    foreground.program = u"calc.exe";
    // Each combination is tried at load, whichever program is in front, and
    // let go again where no macro fits.
    EXPECT_EQ(registrar.RegisterHotKeys(macros), std::vector<std::string>{"[Ctrl + J] m7 - taken by another program"});
    EXPECT_EQ(Registered(hotKeys), (Ids{3, 6}));
    hotKeys.takenElsewhere.clear();
    const struct {
        std::string to;
        Ids registered, unregistered;
    } switches[] = {
        {"notepad.exe", {1, 5}, {3, 6}},  // J refused at load stays refused
        {"NotePad.exe", {1, 5}, {}},
        {"wordpad.exe", {3, 4, 6}, {1, 5}},
        {"explorer.exe", {2, 6}, {3, 4}},
        {"", {2, 6}, {}},  // not known: only what serves every program
    };
    for (const auto& [to, registered, unregistered] : switches) {
        hotKeys.unregistered.clear();
        foreground.Switch(std::u16string(to.begin(), to.end()));
        EXPECT_EQ(Registered(hotKeys), registered) << to;
        EXPECT_EQ(hotKeys.unregistered, unregistered) << to;
    }
    // The options window opens on a file that lost macros 2 and 6: nothing
    // stays registered, whatever comes to the front.
    registrar.UnregisterHotKeys({macros[0]});
    foreground.Switch(u"notepad.exe");
    EXPECT_EQ(Registered(hotKeys), Ids{});
}

TEST_F(RegisterHotKeysTest, OnlyMacrosThatCanClaimTheSameProgramAreRefused)
{
    const struct {
        std::vector<const char*> lists;
        std::vector<std::string> errors;
    } cases[] = {
        {{"notepad.exe", "wordpad.exe", ""}, {}},
        {{"notepad.exe", "NOTEPAD.EXE"}, {"[Ctrl + K] m2 - also used by \"m1\""}},
        {{"a.exe", "", "", "b.exe;a.exe"},
         {"[Ctrl + K] m3 - also used by \"m2\"", "[Ctrl + K] m4 - also used by \"m1\""}},
    };
    foreground.program = u"b.exe";
    for (const auto& [lists, errors] : cases) {
        TMacroList macros;
        for (const char* list : lists) {
            macros.push_back({"m", ForPrograms(static_cast<std::int32_t>(macros.size() + 1), "K", list)});
        }
        EXPECT_EQ(registrar.RegisterHotKeys(macros), errors) << lists.size();
        registrar.UnregisterHotKeys(macros);
    }
}

class HotKeyDispatcherTest : public ::testing::Test {
protected:
    std::shared_ptr<TMacro> AddText(std::int32_t id, std::string text)
    {
        auto macro = Macro(id, "m", "F1");
        auto action = std::make_unique<TTextMacro>();
        action->Text = std::move(text);
        macro->Settings = std::move(action);
        macros.push_back({"m", macro});
        return macro;
    }

    FakePlatform platform;
    FakeHotKeys hotKeys;
    TMacroList macros;
    RandomGenerator random;
    MacroRunner runner{platform.Get(), macros, random};
    HotKeyDispatcher dispatcher{runner, macros, hotKeys, platform.codePage};
};

// Presses during a run, handled while it lets messages through or queued
// before its last key, start no second run; one after its last key does.
TEST_F(HotKeyDispatcherTest, HotKeysDuringARunAreDropped)
{
    AddText(1, "ab");
    AddText(2, "x");
    platform.thread.onServe = [&] {
        EXPECT_TRUE(dispatcher.MacroRunning());
        dispatcher.WMHotKey(2);
        hotKeys.queued = {1, 2};
    };
    dispatcher.WMHotKey(1);
    platform.thread.onServe = nullptr;
    // What the message loop would deliver next.
    for (const std::int32_t id : std::exchange(hotKeys.queued, {})) {
        dispatcher.WMHotKey(id);
    }
    EXPECT_EQ(platform.keyboard.typed, "ab");
    EXPECT_FALSE(dispatcher.MacroRunning());

    dispatcher.WMHotKey(2);
    EXPECT_EQ(platform.keyboard.typed, "abx") << "accepted again once the run is over";

    platform.keyboard.beforeEvent = [&](const tests::KeyEvent&) { hotKeys.queued = {2}; };
    dispatcher.WMHotKey(1);
    platform.keyboard.beforeEvent = nullptr;
    for (const std::int32_t id : std::exchange(hotKeys.queued, {})) {
        dispatcher.WMHotKey(id);
    }
    EXPECT_EQ(platform.keyboard.typed, "abxabx") << "pressed while the last key went out";
}

// A run that fails part-way is told once, by the macro's name as the user
// reads it; an unknown identifier is not (nor a stop, below).
TEST_F(HotKeyDispatcherTest, FailedRunsAreToldOnce)
{
    std::vector<std::u16string> told;
    dispatcher.ReportFailure = [&](const std::u16string& text) { told.push_back(text); };
    AddText(1, "\xE9")->Name = "caf\xE9 {\"U+2192\"}";
    platform.clipboard.alwaysBusy = true;
    EXPECT_NO_THROW(dispatcher.WMHotKey(1));
    EXPECT_FALSE(dispatcher.MacroRunning());
    EXPECT_NO_THROW(dispatcher.WMHotKey(42));
    EXPECT_TRUE(platform.keyboard.typed.empty());
    EXPECT_EQ(told, (std::vector<std::u16string>{u"caf\u00e9 \u2192 stopped part-way: Cannot open clipboard."}));
}

// Closing the program while a macro types: the request, handled between two
// key events, stops the run; the handler returns quietly and takes the next
// hot key again.
TEST_F(HotKeyDispatcherTest, StopEndsTheRunningMacroQuietly)
{
    EXPECT_FALSE(dispatcher.StopRunningMacro()) << "nothing runs";
    bool told = false;
    dispatcher.ReportFailure = [&](const std::u16string&) { told = true; };
    AddText(1, std::string(100, 'a'));
    AddText(2, "x");
    bool asked = false;
    platform.thread.onServe = [&] {
        if (platform.thread.serves == 5) {
            asked = dispatcher.StopRunningMacro();
        }
    };
    EXPECT_NO_THROW(dispatcher.WMHotKey(1));
    EXPECT_TRUE(asked);
    EXPECT_FALSE(told) << "a stop is no failure";
    EXPECT_EQ(platform.keyboard.typed, "aaa");
    EXPECT_FALSE(dispatcher.MacroRunning());

    dispatcher.WMHotKey(2);
    EXPECT_EQ(platform.keyboard.typed, "aaax");
}

}  // namespace
}  // namespace velmora
