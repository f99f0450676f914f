#include "engine/MacroRunner.h"

#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "macros/Error.h"

namespace velmora {
namespace {

using tests::FakeFileSystem;
using tests::FakePlatform;

class MacroRunnerTest : public ::testing::Test {
protected:
    std::shared_ptr<TMacro> Add(std::int32_t id, std::unique_ptr<TMacroSettings> settings = nullptr,
                                std::optional<std::int32_t> next = std::nullopt)
    {
        auto macro = std::make_shared<TMacro>();
        macro->Id = id;
        macro->Settings = std::move(settings);
        macro->RunAnother = next.has_value();
        macro->RunAnotherId = next.value_or(0);
        macros.push_back({"m" + std::to_string(id), macro});
        return macro;
    }

    static std::unique_ptr<TTextMacro> Text(std::string text, bool paste = false)
    {
        auto action = std::make_unique<TTextMacro>();
        action->Text = std::move(text);
        action->Paste = paste;
        return action;
    }

    static std::unique_ptr<TLaunchMacro> Launch(std::string fileName, std::string commandLine = {})
    {
        auto action = std::make_unique<TLaunchMacro>();
        action->FileName = std::move(fileName);
        action->CommandLine = std::move(commandLine);
        return action;
    }

    template <typename Kind>
    static std::unique_ptr<Kind> Command(std::int32_t number)
    {
        auto action = std::make_unique<Kind>();
        action->Action = number;
        return action;
    }

    const std::vector<std::string>& ShellCalls() { return platform.shell.calls; }

    FakePlatform platform;
    TMacroList macros;
    RandomGenerator random;
    MacroRunner runner{platform.Get(), macros, random};
};

TEST_F(MacroRunnerTest, ChainRunsEachMacroOnceInOrder)
{
    auto a = Add(1, Text("a"), 2);
    Add(2, Text("b"), 3);
    Add(3, Text("c"), 1);
    runner.RunMacro(a);
    EXPECT_EQ(platform.keyboard.typed, "abc");
    EXPECT_FALSE(runner.Running());
}

TEST_F(MacroRunnerTest, SelfLinksLoopsAndMissingLinksEndTheChain)
{
    auto self = Add(1, Text("s"), 1);
    runner.RunMacro(self);
    EXPECT_EQ(platform.keyboard.typed, "s");

    auto a = Add(2, Text("a"), 3);
    Add(3, Text("b"), 2);
    runner.RunMacro(a);
    EXPECT_EQ(platform.keyboard.typed, "sab");

    auto dangling = Add(4, Text("d"), 99);
    runner.RunMacro(dangling);
    EXPECT_EQ(platform.keyboard.typed, "sabd");
}

TEST_F(MacroRunnerTest, MacroWithoutActionPassesTheChainOn)
{
    auto empty = Add(1, nullptr, 2);
    Add(2, Text("x"));
    runner.RunMacro(empty);
    EXPECT_EQ(platform.keyboard.typed, "x");
}

TEST_F(MacroRunnerTest, ChainLinksAreComparedByIdentityNotIdentifier)
{
    // Two records with the same identifier: the link finds the first, which
    // is not the running one, so it runs once.
    auto first = Add(5, Text("1"), 5);
    auto second = Add(5, Text("2"), 5);
    runner.RunMacro(second);
    EXPECT_EQ(platform.keyboard.typed, "21");
}

TEST_F(MacroRunnerTest, WaitsForTheHotKeyToBeLetGoBeforeActing)
{
    auto macro = Add(1, Text("k"));
    macro->VirtualKey = 'K';
    platform.keyboard.HoldKey(vk::Control, 5);
    platform.keyboard.HoldKey(vk::Menu, 5);
    platform.keyboard.HoldKey('K', 30);
    runner.RunMacro(macro);
    EXPECT_EQ(platform.keyboard.typed, "k");
    ASSERT_TRUE(platform.keyboard.firstEventMs);
    EXPECT_GE(*platform.keyboard.firstEventMs, 30u) << "a key was sent while the user held K";
    EXPECT_TRUE(platform.keyboard.KeysDown().empty());
}

TEST_F(MacroRunnerTest, ErrorsEndTheRunAndTheNextRunStartsAfresh)
{
    auto failing = Add(1, Text("\xE9"), 2);
    Add(2, Text("never"));
    platform.clipboard.alwaysBusy = true;
    EXPECT_THROW(runner.RunMacro(failing), VelmoraError);
    EXPECT_FALSE(runner.Running());
    EXPECT_EQ(platform.keyboard.typed, "");

    platform.clipboard.alwaysBusy = false;
    runner.RunMacro(failing);
    EXPECT_EQ(platform.keyboard.typed, "\xE9never");
}

TEST_F(MacroRunnerTest, RecordsStayAliveWhenTheListIsReplacedDuringARun)
{
    auto first = Add(1, Text("a\xE9"), 2);
    Add(2, Text("b"));
    std::weak_ptr<TMacro> watched = first;
    // A message handled during playback (the options window saving) replaces
    // the list and drops every record.
    platform.thread.onServe = [&] { macros.clear(); };
    runner.RunMacro(first);
    first.reset();
    EXPECT_TRUE(watched.expired()) << "released once the run is over";
    EXPECT_EQ(platform.keyboard.typed, "a\xE9") << "the link is looked up in the replaced list";
}

TEST_F(MacroRunnerTest, PasteModePastesTheTextWithoutItsKeysAndRestoresTheClipboard)
{
    platform.clipboard.SetText("before");
    auto macro = Add(1, Text("a{\"f1\"}b{\"pause\"}c{\"#254\"}\r\n", /*paste=*/true));
    runner.RunMacro(macro);
    EXPECT_EQ(platform.keyboard.typed, "abc\xFE\r\n");
    EXPECT_EQ(platform.clipboard.Text(), "before");
    EXPECT_TRUE(platform.thread.sleeps.empty()) << "no pause in paste mode";
    const std::vector<tests::KeyEvent> ctrlV = {
        {vk::Control, 0}, {vk::V, 0}, {vk::V, kKeyEventKeyUp}, {vk::Control, kKeyEventKeyUp}};
    EXPECT_EQ(platform.keyboard.events, ctrlV);
}

// Keys typed by an earlier run are long handled when the next run pastes.
TEST_F(MacroRunnerTest, PasteWaitCountsOnlyTheKeysOfItsOwnRun)
{
    auto typing = Add(1, Text("abcdefgh"));
    auto pasting = Add(2, Text("x{\"#233\"}"), 3);
    Add(3, Text("y", /*paste=*/true));
    runner.RunMacro(typing);
    runner.RunMacro(pasting);
    EXPECT_EQ(platform.keyboard.typed, "abcdefghx\xE9y");
    EXPECT_EQ(platform.clipboard.waits, (std::vector<std::chrono::milliseconds>{
                                            std::chrono::milliseconds(500 + 20 * (2 + 4)),
                                            std::chrono::milliseconds(500 + 20 * 4)}))
        << "a chained macro's paste counts the keys since the last paste of the run";
}

TEST_F(MacroRunnerTest, PasteModeCutsTheTextAtAZeroByte)
{
    auto macro = Add(1, Text("ab{\"#0\"}cd", /*paste=*/true));
    runner.RunMacro(macro);
    EXPECT_EQ(platform.keyboard.typed, "ab");
}

TEST_F(MacroRunnerTest, LaunchDecisions)
{
    platform.files.Files["C:\\Tools\\App.EXE"] = "";
    platform.files.Files["C:\\Docs\\letter.doc"] = "";
    platform.files.Files["C:\\\xC3\x9C" "bung\\app.exe"] = "";  // UTF-8, as files are named
    runner.RunMacro(Add(1, Launch("C:\\Tools\\App.EXE", "-v")));
    runner.RunMacro(Add(2, Launch("C:\\Tools\\App.EXE")));
    runner.RunMacro(Add(3, Launch("C:\\Docs\\letter.doc", "-ignored")));
    runner.RunMacro(Add(4, Launch("C:\\Missing\\gone.exe")));
    runner.RunMacro(Add(5, Launch("C:\\Docs")));
    runner.RunMacro(Add(6, Launch("http://example.com/setup.exe.html")));
    runner.RunMacro(Add(7, Launch("C:\\odd.dir\\program")));
    runner.RunMacro(Add(8, Launch("C:\\\xDC" "bung\\app.exe")));  // stored in the code page
    EXPECT_EQ(ShellCalls(), (std::vector<std::string>{
                                "WinExec \"C:\\Tools\\App.EXE\" -v",
                                "WinExec \"C:\\Tools\\App.EXE\"",
                                "ShellExecute open \"C:\\Docs\\letter.doc\"",
                                "ShellExecute open \"C:\\Docs\"",
                                "ShellExecute open \"http://example.com/setup.exe.html\"",
                                "ShellExecute open \"C:\\odd.dir\\program\"",
                                "WinExec \"C:\\\xDC" "bung\\app.exe\"",
                            }));
}

TEST(HasExeExtension, LooksOnlyAfterTheLastBackslashOrColon)
{
    EXPECT_TRUE(HasExeExtension("notepad.exe"));
    EXPECT_TRUE(HasExeExtension("C:\\A\\B.ExE"));
    EXPECT_TRUE(HasExeExtension("C:x.exe"));
    EXPECT_FALSE(HasExeExtension("C:\\dir.exe\\file"));
    EXPECT_FALSE(HasExeExtension("C:\\file.exe.txt"));
    EXPECT_FALSE(HasExeExtension("exe"));
    EXPECT_FALSE(HasExeExtension(""));
}

TEST_F(MacroRunnerTest, SystemCommands)
{
    for (std::int32_t action = -1; action <= 7; ++action) {
        runner.RunMacro(Add(action + 10, Command<TSystemMacro>(action)));
    }
    EXPECT_EQ(ShellCalls(), (std::vector<std::string>{
                                "SC_SCREENSAVE",
                                "ExitWindowsEx 0",
                                "EnableShutdownPrivilege",
                                "ExitWindowsEx 2",
                                "EnableShutdownPrivilege",
                                "ExitWindowsEx 1",
                                "SC_MONITORPOWER 2",
                                "mci Set CDAudio Door Open",
                                "mci Set CDAudio Door Closed",
                            }));
}

TEST_F(MacroRunnerTest, ProgramCommandsReachTheirWindowsAndTheChainGoesOn)
{
    std::vector<std::string> opened;
    runner.ShowQuickReference = [&] { opened.push_back("reference"); };
    runner.OpenOptions = [&] { opened.push_back("options"); };
    auto card = Add(1, Command<TVelmoraMacro>(0), 2);
    Add(2, Command<TVelmoraMacro>(1), 3);
    Add(3, Command<TVelmoraMacro>(2), 4);
    Add(4, Text("z"));
    runner.RunMacro(card);
    EXPECT_EQ(opened, (std::vector<std::string>{"reference", "options"}));
    EXPECT_EQ(platform.keyboard.typed, "z");
}

// The program closing asks the run to stop: wherever it is, the rest of the
// chain is dropped, and the next run is not stopped by the old request.
TEST_F(MacroRunnerTest, StopEndsTheRunWhereverItIs)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
        bool firstTextTyped;
    };
    const std::string longText(200, 'a');
    int events = 0;
    const Case cases[] = {
        {"while typing", [&] {
             platform.keyboard.beforeEvent = [&](const tests::KeyEvent&) {
                 if (++events == 10) {
                     runner.RequestStop();
                 }
             };
         }, false},
        {"while the hot key is held", [&] {
             platform.keyboard.HoldKey('K', 1 << 30);
             platform.thread.serves = 0;
             platform.thread.onServe = [&] {
                 if (platform.thread.serves == 20) {
                     runner.RequestStop();
                 }
             };
         }, false},
        {"inside a window an action opened", [&] { runner.OpenOptions = [&] { runner.RequestStop(); }; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        macros.clear();
        platform.keyboard.typed.clear();
        auto first = Add(1, Text("x" + longText), 2);
        first->VirtualKey = 'K';
        Add(2, Command<TVelmoraMacro>(1), 3);
        Add(3, Text("never"));
        c.arrange();

        EXPECT_THROW(runner.RunMacro(first), RunStopped);
        EXPECT_FALSE(runner.Running());
        EXPECT_EQ(platform.keyboard.typed, c.firstTextTyped ? "x" + longText : platform.keyboard.typed.substr(0, 10))
            << "the chain went on";
        EXPECT_TRUE(platform.keyboard.KeysDown().empty());

        platform.keyboard.beforeEvent = nullptr;
        platform.thread.onServe = nullptr;
        platform.keyboard.HoldKey('K', 0);
        runner.OpenOptions = nullptr;
        platform.keyboard.typed.clear();
        runner.RunMacro(first);
        EXPECT_EQ(platform.keyboard.typed, "x" + longText + "never") << "a new run starts without the request";
    }
}

// Log-off works for accounts without the shutdown right (remote desktop,
// kiosks); restart and shut-down ask for it and stop when it is refused.
TEST_F(MacroRunnerTest, SessionCommandThatFailsIsReportedAndTheChainGoesOn)
{
    std::vector<std::string> reports;
    runner.ReportError = [&](const std::string& text) { reports.push_back(text); };
    struct Case {
        std::int32_t action;
        bool privilegeRefused;
        bool exitFails;
        std::vector<std::string> calls;
        const char* report;  // null: none
    };
    const std::string privilege = "EnableShutdownPrivilege";
    const Case cases[] = {
        {1, false, false, {"ExitWindowsEx 0"}, nullptr},
        {1, true, false, {"ExitWindowsEx 0"}, nullptr},
        {1, false, true, {"ExitWindowsEx 0"}, "Cannot log off"},
        {2, false, false, {privilege, "ExitWindowsEx 2"}, nullptr},
        {2, true, false, {privilege}, "Cannot restart Windows"},
        {2, false, true, {privilege, "ExitWindowsEx 2"}, "Cannot restart Windows"},
        {3, false, false, {privilege, "ExitWindowsEx 1"}, nullptr},
        {3, true, false, {privilege}, "Cannot shut down Windows"},
        {3, false, true, {privilege, "ExitWindowsEx 1"}, "Cannot shut down Windows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "action " << c.action << ", privilege refused " << c.privilegeRefused
                                        << ", exit fails " << c.exitFails);
        platform.shell.privilegeRefused = c.privilegeRefused;
        platform.shell.endSessionFails = c.exitFails;
        platform.shell.calls.clear();
        reports.clear();
        macros.clear();
        platform.keyboard.typed.clear();
        auto command = Add(1, Command<TSystemMacro>(c.action), 2);
        Add(2, Text("next"));
        runner.RunMacro(command);
        EXPECT_EQ(ShellCalls(), c.calls);
        EXPECT_EQ(reports, c.report ? std::vector<std::string>{c.report} : std::vector<std::string>{});
        EXPECT_EQ(platform.keyboard.typed, "next");
    }
}

// Windows keeps a program's input from windows above it (UIPI).
TEST(RefusesInputFrom, WindowsAboveTheProgram)
{
    constexpr std::uint32_t kMedium = 0x2000, kHigh = 0x3000, kSystem = 0x4000;
    const ProcessStanding unknown{};
    const ProcessStanding user{.known = true, .integrity = kMedium, .elevated = false};
    const ProcessStanding admin{.known = true, .integrity = kHigh, .elevated = true};
    struct Case {
        const char* name;
        ProcessStanding target;
        ProcessStanding sender;
        bool refused;
    };
    const Case cases[] = {
        {"the same standing", user, user, false},
        {"a lower integrity level", user, admin, false},
        {"a higher integrity level", admin, user, true},
        {"a service's level", {.known = true, .integrity = kSystem, .elevated = false}, admin, true},
        {"elevated at the same level", {.known = true, .integrity = kMedium, .elevated = true}, user, true},
        {"both elevated", admin, admin, false},
        {"a process that cannot be read", unknown, admin, true},
        {"the program's own standing unknown", user, unknown, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RefusesInputFrom(c.target, c.sender), c.refused) << c.name;
    }
}

// A window running as administrator gets nothing typed: the whole text of the
// run waits on the clipboard, and the user is told once. Other actions and
// the program's own windows are not affected.
TEST_F(MacroRunnerTest, TextForAWindowAboveTheProgramGoesToTheClipboard)
{
    std::vector<std::u16string> told;
    runner.ShowNotification = [&](const std::u16string& text) { told.push_back(text); };
    platform.keyboard.foreground.standing = {.known = true, .integrity = 0x3000, .elevated = true};
    platform.keyboard.foreground.title = u"Administrator: Command Prompt \u2192";
    platform.files.Files["C:\\tool.exe"] = "";
    auto first = Add(1, Text("caf\xE9{\"U+2192\"}{\"f1\"} "), 2);
    Add(2, Launch("C:\\tool.exe"), 3);
    Add(3, Text("pasted", /*paste=*/true));
    runner.RunMacro(first);
    EXPECT_TRUE(platform.keyboard.calls.empty()) << "not a key sent";
    EXPECT_EQ(platform.clipboard.UnicodeText(), U"caf\u00E9\u2192 pasted");
    EXPECT_EQ(platform.clipboard.Text(), "caf\xE9 pasted");
    EXPECT_EQ(ShellCalls(), std::vector<std::string>{"WinExec \"C:\\tool.exe\""});
    EXPECT_EQ(told, std::vector<std::u16string>{u"Administrator: Command Prompt \u2192 runs as administrator, so Windows "
                                                u"does not let Velmora type into it. The text is on the clipboard: "
                                                u"press Ctrl+V."});

    platform.keyboard.foreground.own = true;
    runner.RunMacro(first);
    EXPECT_EQ(platform.keyboard.typedUnicode, U"caf\u00E9\u2192 pasted") << "its own windows take its keys";
    EXPECT_EQ(told.size(), 1u);
}

}  // namespace
}  // namespace velmora
