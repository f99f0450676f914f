// Runs the real velmora.exe and checks what a user would find: the files
// beside it and the windows it shows.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>

#include "app/TrayIcon.h"
#include "e2e/support/TargetProcess.h"
#include "e2e/support/VelmoraProcess.h"
#include "macros/Error.h"
#include "macros/MacroFile.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32FileSystem.h"
#include "support/TestVectors.h"
#include "support/WaitFor.h"
#include "windows/WindowTestSupport.h"

namespace velmora {
namespace {

using tests::DialogText;
using tests::FindProcessWindow;
using tests::ClipboardBytes;
using tests::ForgetSettings;
using tests::HotKeyMacro;
using tests::HotKeyTaken;
using tests::kRunKey;
using tests::ModifierKeyDown;
using tests::Press;
using tests::PressOnTheXServer;
using tests::PutOnClipboard;
using tests::RegistryText;
using tests::ChooseFromTrayMenu;
using tests::SaveMacros;
using tests::SetRegistryText;
using tests::StartProgram;
using tests::TextMacro;
using tests::TrayIconShown;
using tests::VelmoraProcessTest;
using tests::WaitFor;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST_F(VelmoraProcessTest, MainWindowStaysHiddenAndClosingItEndsTheProgram)
{
    WriteFile("velmora.dtx", tests::LoadByteVector("empty.hex").stored);
    Start();
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(mainWindow); }));
    EXPECT_EQ(FindProcessWindow(processId, "#32770"), nullptr) << "a good file shows no message";
    CloseAndExpectCleanExit();
    EXPECT_EQ(ReadFile("velmora.dtx"), tests::LoadByteVector("empty.hex").stored) << "a load never writes";
}

TEST_F(VelmoraProcessTest, OlderFileIsConvertedOnStartOverAnOlderDataFileKeptAsTheBackup)
{
    const std::string legacy = tests::LoadByteVector("legacy.hex").plain;
    const std::string older = tests::LoadByteVector("empty.hex").stored;
    WriteFile("velmora.dtx", older);
    fs::last_write_time(folder / "velmora.dtx", fs::last_write_time(folder / "velmora.dtx") - 1h);
    WriteFile("velmora.dat", legacy);
    Start();
    ASSERT_TRUE(WaitFor([&] { return !fs::exists(folder / "velmora.dat"); }));
    std::string expected = legacy;
    ScrambleFileContent(expected);
    EXPECT_EQ(ReadFile("velmora.dtx"), expected);
    EXPECT_EQ(ReadFile("velmora.dtx.bak"), older);
    CloseAndExpectCleanExit();
    EXPECT_FALSE(fs::exists(folder / "velmora.dtx.tmp"));
    EXPECT_FALSE(fs::exists(folder / "velmora.dtx.bak.tmp"));
}

TEST_F(VelmoraProcessTest, ReadOnlyOlderFileIsConvertedOnceNeverOverLaterSaves)
{
    const std::string legacy = tests::LoadByteVector("legacy.hex").plain;
    WriteFile("velmora.dat", legacy);
    const std::string dat = directory + "velmora.dat";
    ASSERT_TRUE(::SetFileAttributesA(dat.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_NO_FATAL_FAILURE(StartReady());
    CloseAndExpectCleanExit();
    std::string converted = legacy;
    ScrambleFileContent(converted);
    EXPECT_EQ(ReadFile("velmora.dtx"), converted);

    // Saved since, as the options window would; two more starts keep it.
    SaveMacros(directory, {{"Later", TextMacro(1, "later", 0)}});
    const std::string saved = ReadFile("velmora.dtx");
    for (int start = 0; start < 2; ++start) {
        ASSERT_NO_FATAL_FAILURE(StartReady());
        CloseAndExpectCleanExit();
        EXPECT_EQ(ReadFile("velmora.dtx"), saved) << "start " << start;
    }
    // Whether renamed or left behind, it is the user's file, read-only still.
    for (const char* name : {"velmora.dat", "velmora.dat.converted"}) {
        const std::string path = directory + name;
        if (fs::exists(folder / name)) {
            EXPECT_EQ(ReadFile(name), legacy);
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
}

TEST_F(VelmoraProcessTest, FileThatCannotBeOpenedIsReportedAndTheProgramRunsOn)
{
    WriteFile("velmora.dtx", tests::LoadByteVector("velmora.hex").plain);
    // Held open without sharing, as another program might.
    const std::string path = directory + "velmora.dtx";
    const win32::UniqueHandle lock = tests::HoldFile(path);
    ASSERT_TRUE(lock);

    Start();
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindProcessWindow(processId, "#32770", "Velmora")) != nullptr; }));
    // The box exists a moment before its text does.
    const std::string expected = ErrorBoxText("Cannot open file " + path + ": " + tests::ReasonCannotRead(path));
    EXPECT_TRUE(WaitFor([&] { return DialogText(box) == expected; })) << DialogText(box);
    ::SendMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); }));

    EXPECT_EQ(::WaitForSingleObject(process.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the program runs on";
    EXPECT_TRUE(WaitFor([&] { return TrayIconShown(mainWindow); })) << "start-up went on to the tray icon";
    CloseAndExpectCleanExit();
}

TEST_F(VelmoraProcessTest, FirstStartWelcomesTheUserAndTheSettingsAreSavedAtShutdown)
{
    const std::string baseName = "velmora-first-" + std::to_string(::GetCurrentProcessId());
    exeName = baseName + ".exe";
    fs::copy_file(folder / "velmora.exe", folder / exeName);
    const std::string settingsKey = "Software\\" + baseName + "\\TMain";
    const std::optional<std::string> runBefore = RegistryText(kRunKey, "Velmora");

    Start();
    HWND welcome = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (welcome = FindProcessWindow(processId, "TFirstTime")) != nullptr; }));
    char caption[64] = {};
    ::GetWindowTextA(welcome, caption, sizeof caption);
    EXPECT_STREQ(caption, "Welcome to Velmora");
    EXPECT_TRUE(WaitFor([&] { return RegistryText(kRunKey, "Velmora") == "\"" + directory + exeName + "\""; }))
        << "the first run starts Velmora at log-on";
    EXPECT_TRUE(WaitFor([&] { return TrayIconShown(mainWindow); })) << "no tray icon";

    EXPECT_EQ(RunAgain("/shutdown"), 0u);
    ASSERT_EQ(::WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
    process.Reset();
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"FormVersion", "0"},          {"FirstTimeRun_Checked", "False"},   {"ShowInTray_Checked", "True"},
        {"OptionsHeight_Caption", "-1000"}, {"SlowdownKeystrokes_Checked", "False"},
        {"ReferencePage_Caption", "1"}, {"OptionsWidth_Caption", "-1000"}};
    for (const auto& [name, text] : expected) {
        EXPECT_EQ(RegistryText(settingsKey, name), std::string(text)) << name;
    }

    // A second start is not a first run any more.
    Start();
    EXPECT_FALSE(WaitFor([&] { return FindProcessWindow(processId, "TFirstTime") != nullptr; }, 2s));
    CloseAndExpectCleanExit();

    ForgetSettings(baseName, runBefore);
}

// With its icon hidden, starting the program again is how a user finds it:
// the running copy shows its options window, once, whatever the argument
// but /shutdown.
TEST_F(VelmoraProcessTest, SecondStartWithoutArgumentsOpensTheOptionsWindowOfTheFirst)
{
    const std::string settingsKey = UseOwnName("velmora-second");
    SetRegistryText(settingsKey, "FirstTimeRun_Checked", "False");
    SetRegistryText(settingsKey, "ShowInTray_Checked", "False");
    SaveMacros(directory, {{"x", HotKeyMacro(1, "x", "F9")}});
    Start();
    // Registered once the copy holds the shared block.
    ASSERT_TRUE(WaitFor([&] { return HotKeyTaken(VK_F9); })) << "start-up never finished";
    // The first instance saves only when it ends; a second start that
    // wrote its settings back would make the section appear now.
    ::RegDeleteTreeA(HKEY_CURRENT_USER, settingsKey.c_str());
    for (const char* arguments : {"", "options"}) {
        SCOPED_TRACE(arguments);
        EXPECT_EQ(RunAgain(arguments), 0u);
        EXPECT_TRUE(WaitForWindow("TOptions")) << "the options window did not open";
        ASSERT_TRUE(Settle());
        EXPECT_EQ(tests::ProcessWindows(processId, "TOptions").size(), 1u);
    }
    EXPECT_EQ(RegistryText(settingsKey, "FormVersion"), std::nullopt) << "a second start must not write the settings";
    EXPECT_TRUE(Running());
    CloseAndExpectCleanExit();
}

// Older copies, and the installer through them, send their own numbers.
TEST_F(VelmoraProcessTest, RequestsOfAnOlderCopyAreStillTaken)
{
    ASSERT_NO_FATAL_FAILURE(StartReady());
    DWORD_PTR result = 0;
    ASSERT_NE(::SendMessageTimeoutA(mainWindow, 1027, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
    EXPECT_TRUE(WaitForWindow("TOptions")) << "1027 did not open the options window";
    ASSERT_NE(::SendMessageTimeoutA(mainWindow, 1026, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
    ASSERT_EQ(::WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0) << "1026 did not end the program";
    process.Reset();
}

// A first copy that does not answer (here it is stopped, as a hang or a
// debugger leaves it) no longer holds a second start: within a few seconds it
// says so, and it ends once the user has read it.
TEST_F(VelmoraProcessTest, SecondStartTellsOfAFirstCopyThatDoesNotRespond)
{
    ASSERT_NO_FATAL_FAILURE(StartReady());
    {
        const tests::SuspendedProcess stopped(processId);
        ASSERT_TRUE(stopped);
        DWORD secondId = 0;
        const win32::UniqueHandle second = StartProgram(directory + exeName, "/options", directory, &secondId);
        ASSERT_TRUE(second);
        HWND box = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (box = tests::FindVisibleWindow(secondId, "#32770", "Velmora")) != nullptr; },
                            10s))
            << "the second start still waits for the first copy";
        EXPECT_EQ(WaitForDialogText(box, "Velmora is already running but does not respond."),
                  "Velmora is already running but does not respond.");
        ASSERT_TRUE(tests::Activate(box));
        ASSERT_TRUE(PressOnTheXServer("Return"));
        ASSERT_EQ(::WaitForSingleObject(second.Get(), 30000), WAIT_OBJECT_0) << "the key did not end the second start";
        DWORD exitCode = 99;
        ::GetExitCodeProcess(second.Get(), &exitCode);
        EXPECT_EQ(exitCode, 1u) << "a script sees that the request was not taken";
    }
    // Going on again, the first copy is as it was.
    ASSERT_TRUE(Settle());
    CloseAndExpectCleanExit();
}

TEST_F(VelmoraProcessTest, TwoStartsAtTheSameInstantLeaveOneRunning)
{
    std::vector<win32::UniqueHandle> starts;
    for (int i = 0; i < 2; ++i) {
        starts.push_back(StartProgram(directory + exeName, {}, directory));
        ASSERT_TRUE(starts.back());
    }
    const auto running = [&] {
        int count = 0;
        for (const auto& start : starts) {
            count += ::WaitForSingleObject(start.Get(), 0) == WAIT_TIMEOUT;
        }
        return count;
    };
    EXPECT_TRUE(WaitFor([&] { return running() == 1; })) << running() << " instances run";
    EXPECT_FALSE(WaitFor([&] { return running() != 1; }, 2s)) << "exactly one stays";
    EXPECT_EQ(RunAgain("/shutdown"), 0u);
    EXPECT_TRUE(WaitFor([&] { return running() == 0; }));
    for (const auto& start : starts) {
        ::TerminateProcess(start.Get(), 1);
    }
}

TEST_F(VelmoraProcessTest, ShutdownFromASecondStartEndsTheFirst)
{
    StartReady();
    EXPECT_EQ(RunAgain("\"  /SHUTDOWN \""), 0u);
    ASSERT_EQ(::WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
    process.Reset();

    // With the first gone, a new start is the first instance again.
    Start();
    CloseAndExpectCleanExit();
}

TEST_F(VelmoraProcessTest, TrayMenuCloseVelmoraEndsTheProgramAndSavesTheSettings)
{
    const std::string baseName = "velmora-menu-" + std::to_string(::GetCurrentProcessId());
    exeName = baseName + ".exe";
    fs::copy_file(folder / "velmora.exe", folder / exeName);
    const std::optional<std::string> runBefore = RegistryText(kRunKey, "Velmora");
    ASSERT_NO_FATAL_FAILURE(StartReady());
    // Up from no selection reaches the last item, "Close Velmora".
    ASSERT_TRUE(ChooseFromTrayMenu(processId, {VK_UP, VK_RETURN})) << "the tray menu never opened";
    ASSERT_EQ(::WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
    process.Reset();
    EXPECT_EQ(RegistryText("Software\\" + baseName + "\\TMain", "FirstTimeRun_Checked"), "False");
    EXPECT_EQ(RegistryText("Software\\" + baseName + "\\TMain", "ShowInTray_Checked"), "True");
    ForgetSettings(baseName, runBefore);
}

// What the shell sends for the menu key on the icon, in the version 4 layout
// the program asked the tray for (Wine's tray sends it for clicks alone): the
// menu opens at the icon, not at the mouse pointer.
TEST_F(VelmoraProcessTest, TrayMenuFromTheKeyboardOpensAtTheIcon)
{
    ASSERT_NO_FATAL_FAILURE(StartReady());
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const POINT icon{cursor.x < 400 ? cursor.x + 200 : cursor.x - 200, cursor.y < 300 ? cursor.y + 150 : cursor.y - 150};
    ASSERT_TRUE(::PostMessageA(mainWindow, kTrayMessage, MAKEWPARAM(icon.x, icon.y), MAKELPARAM(WM_CONTEXTMENU, 1)));
    const HWND menu = WaitForWindow("#32768");
    ASSERT_TRUE(menu) << "the menu key did not open the menu";
    RECT place{};
    ::GetWindowRect(menu, &place);
    EXPECT_EQ(place.left, icon.x);
    EXPECT_EQ(place.top, icon.y);
    ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(menu); }));
    CloseAndExpectCleanExit();
}

TEST_F(VelmoraProcessTest, HotKeyTypesItsChainIntoTheFocusedWindow)
{
    // A chain A, B, C whose C names A again, written by the program's own writer.
    win32::Win32FileSystem files(directory);
    MacroStore store{files};
    auto first = TextMacro(1, "One{\"tab\"}", 2);
    first->HotKeyCtrl = first->HotKeyAlt = true;
    first->HotKey = "F9";
    store.MaxMacroId = 3;
    store.SaveMacros({{"a", first}, {"b", TextMacro(2, "two ", 3)}, {"c", TextMacro(3, "3!", 1)}});

    ASSERT_NO_FATAL_FAILURE(StartReadyWithTarget());
    EXPECT_TRUE(HotKeyTaken(VK_F9)) << "the hot key was not registered";
    Press({VK_CONTROL, VK_MENU, VK_F9});
    EXPECT_EQ(target->WaitForText("One\ttwo 3!"), "One\ttwo 3!");
    CloseAndExpectCleanExit();
}

TEST_F(VelmoraProcessTest, HotKeyPressedOnTheXServerTypesIntoTheFocusedWindow)
{
    SaveMacros(directory, {{"x", HotKeyMacro(1, "Typed from X: {\"shift\"}done", "K", /*shift=*/true)}});

    ASSERT_NO_FATAL_FAILURE(StartReadyWithTarget());
    // As a user would: the window gets the X focus, then the keys come from X.
    ASSERT_TRUE(PressOnTheXServer("ctrl+shift+k"));
    EXPECT_EQ(target->WaitForText("Typed from X: DONE"), "Typed from X: DONE");
    CloseAndExpectCleanExit();
}

// Code page 1252 holds none of the folder's letters.
TEST_F(VelmoraProcessTest, FromAFolderNamedOutsideTheCodePageMacrosLoadTypeAndSave)
{
    ASSERT_NO_FATAL_FAILURE(UseFolder(reinterpret_cast<const char*>(u8"Макросы 日本")));
    const std::string settingsKey = UseOwnName("velmora-folder");
    ASSERT_NO_FATAL_FAILURE(SetRegistryText(settingsKey, "FirstTimeRun_Checked", "False"));
    // As an older version wrote it: start-up puts quotes around it.
    ASSERT_NO_FATAL_FAILURE(SetRegistryText(kRunKey, "Velmora", directory + exeName));
    // Out of name order, so the save, which sorts them, changes the file.
    SaveMacros(directory, {{"b", tests::Named(HotKeyMacro(1, "from afar", "K"), "b")},
                           {"a", tests::Named(HotKeyMacro(2, "unused", "J"), "a")}});
    const std::string loaded = ReadFile("velmora.dtx");

    ASSERT_NO_FATAL_FAILURE(StartReadyWithTarget());
    Press({VK_CONTROL, VK_MENU, 'K'});
    EXPECT_EQ(target->WaitForText("from afar"), "from afar");
    EXPECT_EQ(RegistryText(kRunKey, "Velmora"), "\"" + directory + exeName + "\"");

    // A second start from the same folder opens the options window; OK saves.
    EXPECT_EQ(RunAgain("/options"), 0u);
    const HWND options = WaitForWindow("TOptions");
    ASSERT_TRUE(options) << "the options window never opened";
    // Visible to Windows comes before the window manager maps it in front;
    // a click before that lands on the window beneath.
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == options; })) << "the options window is not in front";
    ASSERT_TRUE(tests::ClickOn(tests::FindControl(options, IDOK)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); })) << "OK did not close the options window";
    EXPECT_EQ(tests::NamesOf(tests::LoadMacros(directory)), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(ReadFile("velmora.dtx.bak"), loaded) << "the file before the save is the backup";
    CloseAndExpectCleanExit();
}

TEST_F(VelmoraProcessTest, AMacroAnotherProgramAddsToTheFileWorksWithinTwoSecondsWithoutARestart)
{
    const auto first = HotKeyMacro(1, "first", "K", /*shift=*/true);
    SaveMacros(directory, {{"first", first}});
    ASSERT_NO_FATAL_FAILURE(StartReadyWithTarget());

    // As a synced folder or a second copy would: the whole file written anew.
    SaveMacros(directory, {{"first", first}, {"added", HotKeyMacro(2, "added elsewhere", "L", /*shift=*/true)}});
    const auto written = std::chrono::steady_clock::now();
    bool typed = false;
    while (!typed && std::chrono::steady_clock::now() - written < 2s) {
        ASSERT_TRUE(PressOnTheXServer("ctrl+shift+l"));
        typed = target->WaitForLength(1, 200ms);
    }
    EXPECT_TRUE(typed) << "the added hot key did nothing within 2 s";
    // A press of the round before may have run it once more.
    EXPECT_TRUE(WaitFor([&] { return target->Text().rfind("added elsewhere", 0) == 0; })) << target->Text();
    EXPECT_EQ(FindProcessWindow(processId, "#32770"), nullptr) << "a reload shows no message";
    CloseAndExpectCleanExit();
}

TEST_F(VelmoraProcessTest, HotKeyPressedWhileItsMacroRunsIsDropped)
{
    // Every character above 126 goes through the clipboard and makes the run
    // wait for the target, so it lasts seconds. Presses meanwhile, handled or
    // queued, must not start it again.
    const std::string text = "start" + std::string(150, '\xE9') + "end";
    SaveMacros(directory, {{"slow", HotKeyMacro(1, text, "K", /*shift=*/true)}});

    ASSERT_NO_FATAL_FAILURE(StartReadyWithTarget());
    ASSERT_TRUE(PressOnTheXServer("ctrl+shift+k"));
    ASSERT_TRUE(WaitFor([&] { return target->TextLength() > 6; })) << "the macro never started";
    // Shift first: a Ctrl pressed in the middle of a paste's own Ctrl would
    // be let go with it, and the K would be typed.
    ASSERT_TRUE(PressOnTheXServer("shift+ctrl+k shift+ctrl+k"));
    ASSERT_LT(target->TextLength(), text.size()) << "the run was over before the presses came";
    EXPECT_EQ(target->WaitForText(text), text);
    EXPECT_FALSE(WaitFor([&] { return target->TextLength() > text.size(); }, 3s)) << "typed more than once";
    CloseAndExpectCleanExit();
}

// A paste lends the clipboard: Unicode text, a picture and a private format
// the user copied are all there again afterwards, and nothing the program put
// there goes to clipboard history.
TEST_F(VelmoraProcessTest, PastingHotKeysGiveEveryClipboardFormatBack)
{
    auto pasting = HotKeyMacro(1, "pasted{\"tab\"}all at once ", "F9");
    dynamic_cast<TTextMacro&>(*pasting->Settings).Paste = true;
    SaveMacros(directory, {{"paste", pasting}, {"typed", HotKeyMacro(2, "caf\xE9 \xFC!", "F10")}});

    const std::wstring_view unicode = L"arrow \u2192 smile \U0001F600";
    std::string dib(40 + 8 * 8 * 4, '\0');
    dib[0] = 40;   // biSize
    dib[4] = 8;    // biWidth
    dib[8] = 8;    // biHeight
    dib[12] = 1;   // biPlanes
    dib[14] = 32;  // biBitCount
    for (std::size_t i = 40; i < dib.size(); ++i) {
        dib[i] = static_cast<char>(i * 13);
    }
    const UINT own = ::RegisterClipboardFormatA("Velmora e2e private format");
    const std::vector<std::pair<UINT, std::string>> users = {
        {CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(unicode.data()), unicode.size() * 2) +
                             std::string(2, '\0')},
        {CF_DIB, dib},
        {own, std::string("private\0\xFF\x01 bytes", 17)},
    };
    ASSERT_TRUE(PutOnClipboard(users));
    const auto everyFormatBack = [&] {
        // The private format first: reading the text while it is lent out
        // would count as the paste.
        if (ClipboardBytes(own) != users[2].second) {
            return false;
        }
        return std::all_of(users.begin(), users.end(), [](const auto& format) {
            const auto bytes = ClipboardBytes(format.first);
            return bytes && bytes->substr(0, format.second.size()) == format.second;
        });
    };
    const std::string zero(4, '\0');
    const auto markedPrivate = [&] {
        return ClipboardBytes(::RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing")) == zero &&
               ClipboardBytes(::RegisterClipboardFormatA("CanIncludeInClipboardHistory")) == zero &&
               ClipboardBytes(::RegisterClipboardFormatA("CanUploadToCloudClipboard")) == zero;
    };

    ASSERT_NO_FATAL_FAILURE(StartReadyWithTarget());
    Press({VK_CONTROL, VK_MENU, VK_F9});
    EXPECT_EQ(target->WaitForText("pasted\tall at once "), "pasted\tall at once ");
    EXPECT_TRUE(WaitFor(everyFormatBack)) << "after a paste-mode macro";
    EXPECT_TRUE(markedPrivate());

    Press({VK_CONTROL, VK_MENU, VK_F10});
    EXPECT_EQ(target->WaitForText("pasted\tall at once caf\xE9 \xFC!"), "pasted\tall at once caf\xE9 \xFC!");
    EXPECT_TRUE(WaitFor(everyFormatBack)) << "after characters typed through the clipboard";
    EXPECT_TRUE(markedPrivate());
    CloseAndExpectCleanExit();
}

TEST_F(VelmoraProcessTest, HotKeyTakenElsewhereIsSkippedSilentlyAtStartUp)
{
    ASSERT_TRUE(::RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_F8)) << "Ctrl+Alt+F8 is free";
    SaveMacros(directory, {{"taken", HotKeyMacro(1, "taken", "F8")}, {"free", HotKeyMacro(2, "free", "F9")}});

    ASSERT_NO_FATAL_FAILURE(StartReady());
    EXPECT_TRUE(HotKeyTaken(VK_F9)) << "the other macros are still registered";
    EXPECT_FALSE(WaitFor([&] { return FindProcessWindow(processId, "THotKeyErrors") != nullptr; }, 2s))
        << "start-up reports no refused hot key";
    ::UnregisterHotKey(nullptr, 1);
    CloseAndExpectCleanExit();
}

// Windows asks, then tells, and may end the process the moment the second
// answer is in: by then the settings must be saved, the hot keys and the
// tray icon given back.
TEST_F(VelmoraProcessTest, EndOfTheSessionLeavesEverythingTidyBeforeItAnswers)
{
    const std::string settingsKey = UseOwnName("velmora-session");
    SaveMacros(directory, {{"x", HotKeyMacro(1, "x", "F9")}});
    Start();
    ASSERT_TRUE(WaitFor([&] { return FindProcessWindow(processId, "TFirstTime") != nullptr; })) << "a first run";
    ASSERT_TRUE(TrayIconShown(mainWindow));
    ASSERT_TRUE(HotKeyTaken(VK_F9));
    ASSERT_EQ(RegistryText(settingsKey, "FirstTimeRun_Checked"), std::nullopt);

    EXPECT_EQ(::SendMessageA(mainWindow, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    ::SendMessageA(mainWindow, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    // Looked at before the process ends: nothing may be left to its exit.
    EXPECT_EQ(RegistryText(settingsKey, "FirstTimeRun_Checked"), "False") << "the welcome would come back";
    EXPECT_FALSE(HotKeyTaken(VK_F9));
    EXPECT_FALSE(TrayIconShown(mainWindow));

    ::TerminateProcess(process.Get(), 1);
    ASSERT_EQ(::WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
    process.Reset();
    EXPECT_EQ(RegistryText(settingsKey, "FormVersion"), "0");
    EXPECT_EQ(RegistryText(settingsKey, "ShowInTray_Checked"), "True");
}

// A macro on Ctrl+Alt+F9 that types 3,000 characters slowly enough to take
// many seconds, already typing into a target window.
class LongMacroTest : public VelmoraProcessTest {
protected:
    void StartTheMacro()
    {
        settingsKey = UseOwnName("velmora-long");
        SetRegistryText(settingsKey, "FirstTimeRun_Checked", "False");
        SetRegistryText(settingsKey, "SlowdownKeystrokes_Checked", "True");
        while (text.size() < 3000) {
            text += "Stop me now ";
        }
        SaveMacros(directory, {{"long", HotKeyMacro(1, text, "F9")}});
        ASSERT_NO_FATAL_FAILURE(StartReadyWithTarget());
        Press({VK_CONTROL, VK_MENU, VK_F9});
        ASSERT_TRUE(WaitFor([&] { return target->TextLength() > 24; })) << "the macro never started";
    }

    // The program ended cleanly before the macro did, with no key left down
    // and the settings saved (only a save writes FormVersion).
    void ExpectStoppedAndEnded()
    {
        ASSERT_EQ(::WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
        DWORD exitCode = 99;
        ::GetExitCodeProcess(process.Get(), &exitCode);
        EXPECT_EQ(exitCode, 0u);
        process.Reset();
        EXPECT_FALSE(WaitFor([&] { return target->TextLength() >= text.size(); }, 3s)) << "the macro ran on";
        EXPECT_FALSE(ModifierKeyDown());
        EXPECT_EQ(RegistryText(settingsKey, "FormVersion"), "0");
        EXPECT_EQ(RegistryText(settingsKey, "SlowdownKeystrokes_Checked"), "True");
    }

    std::string settingsKey;
    std::string text;
};

TEST_F(LongMacroTest, ShutdownFromASecondStartStopsTheMacroWithoutWaitingForIt)
{
    StartTheMacro();
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(RunAgain("/shutdown"), 0u);
    // A bound for the behaviour, not a speed target: the macro takes far longer.
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 5s) << "the second start waited for the macro";
    ExpectStoppedAndEnded();
}

TEST_F(LongMacroTest, CloseVelmoraFromTheTrayMenuStopsTheMacro)
{
    StartTheMacro();
    ASSERT_TRUE(ChooseFromTrayMenu(processId, {VK_UP, VK_RETURN}))
        << "the tray menu did not open while the macro typed";
    ExpectStoppedAndEnded();
}

}  // namespace
}  // namespace velmora
