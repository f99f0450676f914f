#include "hotkeys/HotKeys.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "fakes/FakeForegroundWatch.h"
#include "fakes/FakeHotKeys.h"
#include "fakes/FakePlatform.h"

namespace velmora {
namespace {

using tests::FakeForegroundWatch;
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
    FakeForegroundWatch foreground;
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

// The identifier registered for each combination, by key; 0 for none.
std::map<std::uint32_t, std::int32_t> RegisteredByKey(const FakeHotKeys& hotKeys)
{
    std::map<std::uint32_t, std::int32_t> byKey;
    for (const auto& [id, combination] : hotKeys.registered) {
        EXPECT_EQ(byKey.count(combination.second), 0u) << "one macro per combination";
        byKey[combination.second] = id;
    }
    return byKey;
}

// K: one macro for notepad, one for wordpad and calc, one for every other
// program. W: only for wordpad. N: only for notepad, then for every program.
TEST_F(RegisterHotKeysTest, EachCombinationCarriesTheMacroThatFitsTheProgramInFront)
{
    const TMacroList macros = {
        {"a", ForPrograms(1, "K", "notepad.exe")},
        {"b", ForPrograms(2, "K", "")},
        {"c", ForPrograms(3, "K", "WordPad.exe; calc.exe")},
        {"d", ForPrograms(4, "W", "wordpad.exe")},
        {"e", ForPrograms(5, "N", "notepad.exe")},
        {"f", ForPrograms(6, "N", "")},
    };
    const struct {
        const char16_t* program;
        std::int32_t k, w, n;
    } cases[] = {
        {u"notepad.exe", 1, 0, 5},
        {u"wordpad.exe", 3, 4, 6},
        {u"CALC.EXE", 3, 0, 6},
        {u"explorer.exe", 2, 0, 6},
        {u"", 2, 0, 6},  // not known: only what serves every program
        {u"NotePad.exe", 1, 0, 5},
    };
    const auto expect = [&](const auto& c) {
        auto byKey = RegisteredByKey(hotKeys);
        EXPECT_EQ(byKey['K'], c.k);
        EXPECT_EQ(byKey['W'], c.w);
        EXPECT_EQ(byKey['N'], c.n);
        EXPECT_EQ(hotKeys.registered.at(byKey['K']).first, kModControl | kModNoRepeat);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.program, c.program + std::char_traits<char16_t>::length(c.program)));
        foreground.program = c.program;
        EXPECT_TRUE(registrar.RegisterHotKeys(macros).empty());
        expect(c);
        registrar.UnregisterHotKeys(macros);
        EXPECT_TRUE(hotKeys.registered.empty());
    }
    foreground.program = u"calc.exe";
    registrar.RegisterHotKeys(macros);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.program, c.program + std::char_traits<char16_t>::length(c.program)));
        foreground.Switch(c.program);
        expect(c);
    }
}

TEST_F(RegisterHotKeysTest, ASwitchTouchesOnlyTheCombinationsWhoseMacroChanged)
{
    const TMacroList macros = {
        {"a", ForPrograms(1, "K", "notepad.exe")},
        {"b", ForPrograms(2, "K", "")},
        {"c", ForPrograms(3, "J", "")},
        {"d", ForPrograms(4, "W", "wordpad.exe")},
    };
    foreground.program = u"explorer.exe";
    registrar.RegisterHotKeys(macros);
    hotKeys.unregistered.clear();
    const struct {
        const char16_t* to;
        std::vector<std::int32_t> unregistered;
    } cases[] = {
        {u"notepad.exe", {2}},
        {u"notepad.exe", {}},  // the same program again
        {u"wordpad.exe", {1}},
        {u"calc.exe", {4}},
        {u"explorer.exe", {}},
    };
    for (const auto& [to, unregistered] : cases) {
        foreground.Switch(to);
        EXPECT_EQ(std::exchange(hotKeys.unregistered, {}), unregistered);
        EXPECT_EQ(RegisteredByKey(hotKeys)['J'], 3) << "the macro for every program never moves";
    }
}

// While the options window is open nothing is registered; a macro the list
// no longer holds (the file changed on disk) still lets go of its combination.
TEST_F(RegisterHotKeysTest, UnregisterLetsGoOfAllAndSwitchesRegisterNothingThen)
{
    const TMacroList macros = {{"a", ForPrograms(1, "K", "notepad.exe")}, {"b", ForPrograms(2, "K", "")}};
    foreground.Switch(u"notepad.exe");
    EXPECT_TRUE(hotKeys.registered.empty()) << "before any registration";
    registrar.RegisterHotKeys(macros);
    registrar.UnregisterHotKeys({macros[1]});
    EXPECT_TRUE(hotKeys.registered.empty());
    foreground.Switch(u"wordpad.exe");
    EXPECT_TRUE(hotKeys.registered.empty());
}

TEST_F(RegisterHotKeysTest, OnlyMacrosThatCanClaimTheSameProgramAreRefused)
{
    const struct {
        std::vector<const char*> lists;
        std::vector<std::string> errors;
    } cases[] = {
        {{"notepad.exe", "wordpad.exe", ""}, {}},
        {{"", ""}, {"[Ctrl + K] m2 - also used by \"m1\""}},
        {{"notepad.exe", "NOTEPAD.EXE"}, {"[Ctrl + K] m2 - also used by \"m1\""}},
        {{"notepad.exe", "wordpad.exe", "calc.exe;wordpad.exe"}, {"[Ctrl + K] m3 - also used by \"m2\""}},
        {{"a.exe", "", "", "b.exe;a.exe"},
         {"[Ctrl + K] m3 - also used by \"m2\"", "[Ctrl + K] m4 - also used by \"m1\""}},
    };
    for (const auto& [lists, errors] : cases) {
        TMacroList macros;
        for (const char* list : lists) {
            macros.push_back({"m", ForPrograms(static_cast<std::int32_t>(macros.size() + 1), "K", list)});
        }
        foreground.program = u"b.exe";
        EXPECT_EQ(registrar.RegisterHotKeys(macros), errors) << lists.size();
        registrar.UnregisterHotKeys(macros);
    }
}

// Counts the attempts per combination.
class CountingHotKeys : public FakeHotKeys {
public:
    std::map<std::uint32_t, int> attempts;
    bool Register(std::int32_t id, std::uint32_t modifiers, std::uint32_t virtualKey) override
    {
        ++attempts[virtualKey];
        return FakeHotKeys::Register(id, modifiers, virtualKey);
    }
};

// A combination another program holds is found at load, whichever program
// is in front, and every macro of it is listed; none is registered later.
TEST(RegisterHotKeys, EachCombinationIsTriedWithTheSystemOnceAtLoad)
{
    const TMacroList macros = {
        {"a", ForPrograms(1, "K", "notepad.exe")},
        {"b", ForPrograms(2, "K", "wordpad.exe")},
        {"c", ForPrograms(3, "J", "notepad.exe")},
        {"d", ForPrograms(4, "L", "notepad.exe")},
        {"e", ForPrograms(5, "L", "")},
    };
    for (const char16_t* program : {u"calc.exe", u"notepad.exe"}) {
        const bool notepad = program == std::u16string_view(u"notepad.exe");
        FakePlatform platform;
        CountingHotKeys hotKeys;
        hotKeys.takenElsewhere = {{kModControl, 'K'}};
        FakeForegroundWatch foreground;
        foreground.program = program;
        HotKeyRegistrar registrar{hotKeys, platform.keyboard, platform.codePage, foreground};
        foreground.Changed = [&registrar] { registrar.ForegroundChanged(); };
        EXPECT_EQ(registrar.RegisterHotKeys(macros), (std::vector<std::string>{
                                                         "[Ctrl + K] m1 - taken by another program",
                                                         "[Ctrl + K] m2 - taken by another program",
                                                     }));
        EXPECT_EQ(hotKeys.attempts, (std::map<std::uint32_t, int>{{'J', 1}, {'K', 1}, {'L', 1}}));
        auto byKey = RegisteredByKey(hotKeys);
        EXPECT_EQ(byKey['J'], notepad ? 3 : 0) << "a combination tried for a program not in front is let go";
        EXPECT_EQ(byKey['L'], notepad ? 4 : 5);

        hotKeys.takenElsewhere.clear();
        foreground.Switch(u"wordpad.exe");
        EXPECT_EQ(RegisteredByKey(hotKeys)['K'], 0) << "refused at load stays refused";
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
