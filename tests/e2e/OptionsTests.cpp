// Drives the options window of the real velmora.exe as a user would: it is
// opened from the tray or by a second start, its controls are clicked and
// filled in, and the test checks the data file, the message boxes and what
// the saved hot keys type afterwards.

#include <gtest/gtest.h>

#include "platform/win32/Win32.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/TrayIcon.h"
#include "e2e/support/Screenshot.h"
#include "e2e/support/TargetProcess.h"
#include "e2e/support/VelmoraProcess.h"
#include "options/OptionsControls.h"
#include "macros/Error.h"
#include "options/OptionsEditor.h"
#include "reference/ReferenceControls.h"
#include "platform/win32/Win32FileSystem.h"
#include "support/TestVectors.h"
#include "support/WaitFor.h"
#include "windows/WindowTestSupport.h"

namespace velmora {
namespace {

using tests::FindControl;

namespace fs = std::filesystem;
namespace id = options_id;
using tests::CaptureClientArea;
using tests::Checked;
using tests::Named;
using tests::NamesOf;
using tests::ChildOfClass;
using tests::Click;
using tests::ClickOn;
using tests::ClickWithMouse;
using tests::ComboEntries;
using tests::DialogText;
using tests::FindProcessWindow;
using tests::FocusOf;
using tests::HotKeyMacro;
using tests::HotKeyTaken;
using tests::ListBoxEntries;
using tests::ListViewEntries;
using tests::LoadMacros;
using tests::Middle;
using tests::Picture;
using tests::Press;
using tests::RemoteMemory;
using tests::SaveBmp;
using tests::SaveMacros;
using tests::ScreenshotFolder;
using tests::TargetProcess;
using tests::TextOf;
using tests::TrayIconShown;
using tests::Type;
using tests::WaitFor;
using tests::WideTextOf;

// ---- Controls of another process ----

// Picks the entry and tells the control's parent, as a user's pick does.
void Choose(HWND combo, const std::string& entry)
{
    const std::vector<std::string> entries = ComboEntries(combo);
    const auto found = std::find(entries.begin(), entries.end(), entry);
    if (found == entries.end()) {
        throw std::runtime_error("the drop-down has no entry \"" + entry + "\"");
    }
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(found - entries.begin()), 0);
    ::SendMessageA(::GetParent(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
}

// Selects the row; the list tells its parent, as on a user's click.
void SelectRow(HWND list, int row)
{
    tests::SelectListViewRow(list, row);
}

// ---- Pictures ----

Picture LoadBitmapFile(const std::string& path)
{
    const win32::UniqueGdiObject bitmap(
        ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    BITMAP size{};
    if (!bitmap || ::GetObjectA(bitmap.Get(), sizeof size, &size) == 0) {
        throw std::runtime_error("cannot load " + path);
    }
    Picture picture{.width = size.bmWidth, .height = size.bmHeight};
    picture.bgr.resize(static_cast<std::size_t>(picture.Stride() * picture.height));
    BITMAPINFO info{};
    info.bmiHeader = {.biSize = sizeof(BITMAPINFOHEADER), .biWidth = picture.width, .biHeight = -picture.height,
                      .biPlanes = 1, .biBitCount = 24, .biCompression = BI_RGB};
    const win32::WindowDC screen(nullptr);
    ::GetDIBits(screen.Get(), static_cast<HBITMAP>(bitmap.Get()), 0, static_cast<UINT>(picture.height),
                picture.bgr.data(), &info, DIB_RGB_COLORS);
    return picture;
}

// ---- The expected texts ----

std::string TodayAsTyped()
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char text[32] = {};
    std::snprintf(text, sizeof text, "Hello %02u.%02u.%04u!", now.wDay, now.wMonth, now.wYear);
    return text;
}

class OptionsWindowTest : public tests::VelmoraProcessTest {
protected:
    // A program name of its own keeps the test's settings apart, and a
    // start that is not the first shows no welcome window.
    void SetUp() override
    {
        VelmoraProcessTest::SetUp();
        settingsKey = UseOwnName("velmora-options");
        ASSERT_NO_FATAL_FAILURE(tests::SetRegistryText(settingsKey, "FirstTimeRun_Checked", "False"));
    }

    // What the tray icon sends the program for a left click (the same in either layout).
    void ClickTrayIcon() { ASSERT_TRUE(::PostMessageA(mainWindow, kTrayMessage, 0, NIN_SELECT)); }

    HWND WaitForOptionsWindow() const { return WaitForWindow("TOptions"); }

    HWND Control(int controlId) const
    {
        const HWND control = FindControl(options, controlId);
        if (control == nullptr) {
            throw std::runtime_error("the options window has no control " + std::to_string(controlId));
        }
        return control;
    }

    // A control the window has not made yet is not shown either: most are
    // made when they first show.
    bool Visible(int controlId) const
    {
        const HWND control = FindControl(options, controlId);
        return control != nullptr && ::IsWindowVisible(control) != FALSE;
    }

    // Presses a button of a message box and waits until the box is gone.
    static bool Answer(HWND box, int button)
    {
        const HWND control = ::GetDlgItem(box, button);
        if (control == nullptr) {
            return false;
        }
        Click(control);
        return WaitFor([&] { return !::IsWindow(box); });
    }

    // Clicks the page's tab with the mouse and waits until the page shows.
    bool ShowPage(int index)
    {
        const HWND tabs = Control(id::kPageControl);
        const RemoteMemory memory(process.Get(), sizeof(RECT));
        if (!::SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), memory.Address())) {
            return false;
        }
        RECT tab = memory.Read<RECT>();
        ::MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&tab), 2);
        const int page = index == 0 ? id::kMacrosPage : id::kOptionsPage;
        return ClickWithMouse(Middle(tab)) && WaitFor([&] { return Visible(page); });
    }

    // Fills in the edit panel for a new macro that types text on Ctrl+Alt+key.
    void AddMacro(const std::string& name, const std::string& key, const std::string& text)
    {
        Click(Control(id::kAddMacro));
        ASSERT_EQ(TextOf(Control(id::kName)), "New macro.");
        Type(Control(id::kName), name);
        Click(Control(id::kCtrl));
        Click(Control(id::kAlt));
        Choose(Control(id::kHotKey), key);
        Choose(Control(id::kAction), "Send keystrokes.");
        Type(Control(id::kSendText), text);
    }

    // The text of the one keystroke macro saved; empty, and a failure, for anything else.
    std::string SavedKeystrokeText() const
    {
        const TMacroList saved = LoadMacros(directory);
        const auto* typed = saved.size() == 1 ? dynamic_cast<const TTextMacro*>(saved[0].Macro->Settings.get())
                                              : nullptr;
        EXPECT_NE(typed, nullptr) << saved.size() << " macros saved";
        return typed ? typed->Text : std::string();
    }

    std::string settingsKey;
    HWND options = nullptr;
};

TEST_F(OptionsWindowTest, MacroAddedFromTheTrayIsSavedAndItsHotKeyTypesTheExpandedText)
{
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_TRUE(tests::ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow()) << "the tray icon did not open the options window";
    char caption[64] = {};
    ::GetWindowTextA(options, caption, sizeof caption);
    EXPECT_STREQ(caption, "Velmora Options");
    EXPECT_FALSE(Visible(id::kMacroEditPanel)) << "nothing to edit yet";

    const std::string text = "Hello {\"twodigitday\"}.{\"twodigitmonth\"}.{\"year\"}!";
    ASSERT_NO_FATAL_FAILURE(AddMacro("Greeting", "K", text));
    EXPECT_EQ(ListViewEntries(Control(id::kMacroList)), std::vector<std::string>{"Greeting"});
    EXPECT_TRUE(Visible(id::SettingsPanelId(kKeystrokesAction)));
    EXPECT_TRUE(Checked(Control(id::kCtrl)) && Checked(Control(id::kAlt)));

    // Enter in the name field closes the window as its OK button does.
    const HWND name = Control(id::kName);
    ASSERT_TRUE(ClickOn(name));
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == options && FocusOf(options) == name; }))
        << "the name field never got the focus";
    Press({VK_RETURN});
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); })) << "Enter did not close the window";

    const TMacroList saved = LoadMacros(directory);
    ASSERT_EQ(saved.size(), 1u);
    const TMacro& macro = *saved[0].Macro;
    EXPECT_EQ(macro.Name, "Greeting");
    EXPECT_EQ(macro.HotKey, "K");
    EXPECT_TRUE(macro.HotKeyCtrl);
    EXPECT_TRUE(macro.HotKeyAlt);
    EXPECT_FALSE(macro.HotKeyShift);
    EXPECT_FALSE(macro.HotKeyWin);
    EXPECT_FALSE(macro.RunAnother);
    const auto* typed = dynamic_cast<const TTextMacro*>(macro.Settings.get());
    ASSERT_NE(typed, nullptr) << "not a keystroke macro";
    EXPECT_EQ(typed->Text, text);
    EXPECT_FALSE(typed->Paste);

    // The save registered the new hot key at once.
    EXPECT_TRUE(HotKeyTaken('K'));
    ASSERT_NO_FATAL_FAILURE(OpenTarget());
    const std::string before = TodayAsTyped();
    Press({VK_CONTROL, VK_MENU, 'K'});
    // Midnight may pass while the keys are typed.
    const std::string arrived = target->WaitForText(before);
    const std::string after = TodayAsTyped();
    EXPECT_TRUE(arrived == before || arrived == after) << arrived;
    CloseAndExpectCleanExit();
}

TEST_F(OptionsWindowTest, AnAbbreviationAndAProgramListTypedIntoTheirFieldsAreCheckedAndSaved)
{
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    ASSERT_NO_FATAL_FAILURE(AddMacro("Signature", "S", "Best regards"));
    ASSERT_TRUE(tests::Activate(options));

    // Typed with real keys, each field reached by a click.
    const auto typeInto = [&](int controlId, const std::string& keys, const std::string& text) {
        const HWND field = Control(controlId);
        return ClickOn(field) &&
               WaitFor([&] { return ::GetForegroundWindow() == options && FocusOf(options) == field; }) &&
               tests::PressOnTheXServer(keys) && WaitFor([&] { return TextOf(field) == text; });
    };
    ASSERT_TRUE(typeInto(id::kAbbreviation, "semicolon s i g", ";sig")) << TextOf(Control(id::kAbbreviation));
    EXPECT_TRUE(WaitFor([&] { return TextOf(Control(id::kStatusBar)).ends_with("; \";sig\" is free"); }))
        << TextOf(Control(id::kStatusBar));
    ASSERT_TRUE(typeInto(id::kOnlyIn, "n o t e p a d period e x e", "notepad.exe")) << TextOf(Control(id::kOnlyIn));

    ASSERT_TRUE(ClickOn(Control(IDOK)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); })) << "OK did not close the window";
    const TMacroList saved = LoadMacros(directory);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].Macro->Name, "Signature");
    EXPECT_EQ(saved[0].Macro->Abbreviation, ";sig");
    EXPECT_EQ(saved[0].Macro->OnlyIn, "notepad.exe");
    EXPECT_EQ(saved[0].Macro->HotKey, "S");
    CloseAndExpectCleanExit();
}

TEST_F(OptionsWindowTest, AMacroFileHeldElsewhereIsNeverSavedOverAndLoadsOnceFree)
{
    SaveMacros(directory, {{"Alpha", Named(HotKeyMacro(1, "alpha", "J"), "Alpha")}});
    const std::string original = ReadFile("velmora.dtx");
    const std::string path = directory + "velmora.dtx";
    win32::UniqueHandle lock = tests::HoldFile(path);
    ASSERT_TRUE(lock);

    ASSERT_NO_FATAL_FAILURE(Start());
    const HWND box = WaitForMessageBox("Velmora");
    ASSERT_TRUE(box) << "no error box";
    const std::string error = ErrorBoxText("Cannot open file " + path + ": " + tests::ReasonCannotRead(path));
    EXPECT_EQ(WaitForDialogText(box, error), error);
    ASSERT_TRUE(Answer(box, IDOK));
    ASSERT_TRUE(WaitFor([&] { return TrayIconShown(mainWindow); })) << "start-up stopped at the error";

    ASSERT_TRUE(tests::ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    const HWND reason = Control(id::kMacrosNotLoaded);
    EXPECT_TRUE(::IsWindowVisible(reason));
    EXPECT_NE(TextOf(reason).find(error), std::string::npos) << TextOf(reason);
    EXPECT_EQ(TextOf(Control(id::kStatusBar)), kMacrosNotLoadedStatus);
    EXPECT_FALSE(::IsWindowEnabled(Control(id::kAddMacro)));
    EXPECT_TRUE(ListViewEntries(Control(id::kMacroList)).empty());
    RECT ok{};
    ::GetWindowRect(Control(IDOK), &ok);
    ASSERT_TRUE(ClickWithMouse(Middle(ok)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); })) << "the window did not close";
    ASSERT_TRUE(Settle());
    EXPECT_EQ(FindProcessWindow(processId, "#32770"), nullptr) << "closing is no error";

    lock.Reset();
    EXPECT_EQ(ReadFile("velmora.dtx"), original);
    EXPECT_FALSE(fs::exists(folder / "velmora.dtx.bak"));

    // Free again: the next opening reads it, and a save of the same bytes
    // writes nothing.
    ASSERT_TRUE(tests::ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    EXPECT_FALSE(Visible(id::kMacrosNotLoaded));
    EXPECT_EQ(ListViewEntries(Control(id::kMacroList)), std::vector<std::string>{"Alpha"});
    ::GetWindowRect(Control(IDOK), &ok);
    ASSERT_TRUE(ClickWithMouse(Middle(ok)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); }));
    EXPECT_EQ(ReadFile("velmora.dtx"), original);
    EXPECT_FALSE(fs::exists(folder / "velmora.dtx.bak"));
    EXPECT_EQ(NamesOf(LoadMacros(directory)), std::vector<std::string>{"Alpha"});
    CloseAndExpectCleanExit();
}

TEST_F(OptionsWindowTest, TwoMacrosOnOneHotKeyAskBeforeClosingAndCloseOnlyOnNo)
{
    SaveMacros(directory, {{"Alpha", Named(HotKeyMacro(1, "alpha", "J"), "Alpha")}});
    const std::string original = ReadFile("velmora.dtx");
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    ASSERT_NO_FATAL_FAILURE(AddMacro("Beta", "J", "beta"));
    EXPECT_EQ(ListViewEntries(Control(id::kMacroList)), (std::vector<std::string>{"Alpha", "Beta"}));

    const std::string question =
        "The macros \"Alpha\" and \"Beta\" both share the same hot key combination:\r\n\r\n"
        "     [Ctrl] + [Alt] + J\r\n\r\n"
        "Only one of these macros will actually execute when the hot key combination is pressed.\r\n\r\n"
        "Do you want to change these macros now so that they do not conflict with each other?";

    // Yes, change them: the window stays for the change.
    ASSERT_TRUE(::PostMessageA(options, WM_CLOSE, 0, 0));
    HWND box = WaitForMessageBox("Confirm");
    ASSERT_TRUE(box) << "no question about the shared hot key";
    EXPECT_EQ(WaitForDialogText(box, question), question);
    ASSERT_TRUE(Answer(box, IDYES));
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(::IsWindowVisible(options)) << "Yes keeps the window open";
    EXPECT_EQ(ReadFile("velmora.dtx"), original) << "nothing is saved yet";
    EXPECT_EQ(ListViewEntries(Control(id::kMacroList)), (std::vector<std::string>{"Alpha", "Beta"}));

    // No, leave them: the window saves both and closes.
    ASSERT_TRUE(::PostMessageA(Control(IDOK), BM_CLICK, 0, 0));
    box = WaitForMessageBox("Confirm");
    ASSERT_TRUE(box) << "the question comes again at the next close";
    EXPECT_EQ(WaitForDialogText(box, question), question);
    ASSERT_TRUE(Answer(box, IDNO));
    // Only the first of the two gets the hot key; the program says so.
    const HWND refused = WaitForWindow("THotKeyErrors");
    ASSERT_TRUE(refused) << "the refused hot key is not reported";
    EXPECT_EQ(ListBoxEntries(ChildOfClass(refused, "ListBox")), std::vector<std::string>{"[Ctrl + Alt + J] Beta - also used by \"Alpha\""});
    RECT ok{};
    ASSERT_TRUE(::GetWindowRect(::GetDlgItem(refused, IDOK), &ok));
    ASSERT_TRUE(ClickWithMouse(Middle(ok)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); })) << "No closes the window";

    const TMacroList saved = LoadMacros(directory);
    EXPECT_EQ(NamesOf(saved), (std::vector<std::string>{"Alpha", "Beta"}));
    for (const TMacroEntry& entry : saved) {
        EXPECT_EQ(entry.Macro->HotKey, "J") << entry.Name;
        EXPECT_TRUE(entry.Macro->HotKeyCtrl && entry.Macro->HotKeyAlt) << entry.Name;
    }
    CloseAndExpectCleanExit();
}

TEST_F(OptionsWindowTest, PasswordMustBeConfirmedAndThenGuardsTheWindow)
{
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    ASSERT_TRUE(ShowPage(1)) << "the Options tab did not show its page";
    EXPECT_FALSE(Visible(id::kPasswordPanel));
    Click(Control(id::kPasswordProtect));
    EXPECT_TRUE(Visible(id::kPasswordPanel)) << "the fields show with the box checked";
    Type(Control(id::kPassword), "Secret");
    Type(Control(id::kPasswordConfirm), "Secert");

    ASSERT_TRUE(::PostMessageA(options, WM_CLOSE, 0, 0));
    HWND box = WaitForMessageBox("Warning");
    ASSERT_TRUE(box) << "different fields must be refused";
    const std::string mismatch(kPasswordMismatchText);
    EXPECT_EQ(WaitForDialogText(box, mismatch), mismatch);
    ASSERT_TRUE(Answer(box, IDOK));
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(::IsWindowVisible(options)) << "the window stays open for a correction";
    EXPECT_FALSE(fs::exists(folder / "velmora.dtx")) << "nothing is saved yet";

    Type(Control(id::kPasswordConfirm), "Secret");
    ASSERT_TRUE(::PostMessageA(Control(IDOK), BM_CLICK, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); }));
    std::string password;
    EXPECT_TRUE(LoadMacros(directory, &password).empty());
    EXPECT_EQ(password, "Secret");

    // A wrong password, typed and confirmed with Enter: refused with a word.
    ASSERT_NO_FATAL_FAILURE(ClickTrayIcon());
    HWND prompt = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        prompt = FindProcessWindow(processId, "TPassword", "Velmora Password");
        return prompt != nullptr && ::GetForegroundWindow() == prompt && ChildOfClass(prompt, "Edit") != nullptr &&
               FocusOf(prompt) == ChildOfClass(prompt, "Edit");
    })) << "no password prompt with the focus in its field";
    Press({'S'});
    Press({'E'});
    Press({'C'});
    Press({'R'});
    Press({'E'});
    Press({'T'});
    Press({VK_RETURN});
    box = WaitForMessageBox("Warning");
    ASSERT_TRUE(box) << "a wrong password must be refused";
    EXPECT_EQ(WaitForDialogText(box, "You have not entered the correct password."),
              "You have not entered the correct password.");
    ASSERT_TRUE(Answer(box, IDOK));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(FindProcessWindow(processId, "TOptions"), nullptr) << "the window must not open";
    EXPECT_FALSE(::IsWindow(prompt)) << "the prompt is gone";

    // The right one opens the window.
    ASSERT_NO_FATAL_FAILURE(ClickTrayIcon());
    ASSERT_TRUE(prompt = WaitForWindow("TPassword", "Velmora Password"));
    Type(ChildOfClass(prompt, "Edit"), "Secret");
    Click(::GetDlgItem(prompt, IDOK));
    ASSERT_TRUE(options = WaitForOptionsWindow()) << "the right password must open the window";
    ASSERT_TRUE(ShowPage(1));
    EXPECT_TRUE(Checked(Control(id::kPasswordProtect)));
    ASSERT_TRUE(::PostMessageA(options, WM_CLOSE, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); }));
    CloseAndExpectCleanExit();
}

TEST_F(OptionsWindowTest, PastedUnicodeTextIsStoredAsTagsAndShownAgainAndUnicodeInputIsSaved)
{
    SaveMacros(directory, {{"Existing", Named(HotKeyMacro(1, "start ", "F9"), "Existing")}});
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    SelectRow(Control(id::kMacroList), 0);
    const HWND box = Control(id::kSendText);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(box) && WideTextOf(box) == u"start "; }));

    const std::u16string pasted = u"arrow \u2192 smile \U0001F600 and \u00e9";
    ASSERT_TRUE(tests::PutOnClipboard(
        {{CF_UNICODETEXT, {reinterpret_cast<const char*>(pasted.c_str()), (pasted.size() + 1) * 2}}}));
    ASSERT_TRUE(ClickOn(box));
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == options && FocusOf(options) == box; }));
    Press({VK_CONTROL, VK_END});
    Press({VK_CONTROL, 'V'});
    EXPECT_TRUE(WaitFor([&] { return WideTextOf(box) == u"start " + pasted; })) << "the paste never arrived";

    ASSERT_TRUE(ShowPage(1));
    const HWND unicodeInput = Control(id::kUnicodeInput);
    EXPECT_FALSE(Checked(unicodeInput));
    ASSERT_TRUE(ClickOn(unicodeInput, /*leftEnd=*/true));
    ASSERT_TRUE(WaitFor([&] { return Checked(unicodeInput); })) << "the click did not tick the box";
    ASSERT_TRUE(ClickOn(Control(IDOK)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); }));
    EXPECT_EQ(SavedKeystrokeText(), "start arrow {\"U+2192\"} smile {\"U+1F600\"} and \xe9");

    ASSERT_NO_FATAL_FAILURE(ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    SelectRow(Control(id::kMacroList), 0);
    EXPECT_TRUE(WaitFor([&] { return WideTextOf(Control(id::kSendText)) == u"start " + pasted; }))
        << "shown again as the characters";
    ASSERT_TRUE(::PostMessageA(options, WM_CLOSE, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); }));
    CloseAndExpectCleanExit();
    EXPECT_EQ(tests::RegistryText(settingsKey, "UnicodeInput_Checked"), "True");
}

TEST_F(OptionsWindowTest, UnicodeNamesShowInTheListAndOnTheCardAndAreStoredAsTags)
{
    // Stored as the code page cannot hold them, and one in a spelling of the user's.
    const std::string privet = "{\"U+041F\"}{\"U+0440\"}{\"U+0438\"}{\"U+0432\"}{\"U+0435\"}{\"U+0442\"} {\"U+2192\"}";
    const std::string eclair = "{\"u+00e9\"}clair";
    SaveMacros(directory, {{"b", Named(HotKeyMacro(2, "b", "F11"), privet)},
                           {"c", Named(HotKeyMacro(3, "c", "F10"), eclair)},
                           {"d", Named(HotKeyMacro(4, "d", ""), "Apple")}});
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    const HWND list = Control(id::kMacroList);
    const std::u16string shownPrivet = u"\u041f\u0440\u0438\u0432\u0435\u0442 \u2192";
    EXPECT_EQ(tests::WideListViewEntries(list),
              (std::vector<std::u16string>{u"Apple", u"\u00e9clair", shownPrivet}))
        << "sorted as read, in the user's locale";

    SelectRow(list, 2);
    const HWND name = Control(id::kName);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(name) && WideTextOf(name) == shownPrivet; }));

    // A new name, pasted over the old one with real keys.
    const std::u16string renamed = u"\u0416\u0430\u0440 \u00e9";
    ASSERT_TRUE(tests::PutOnClipboard(
        {{CF_UNICODETEXT, {reinterpret_cast<const char*>(renamed.c_str()), (renamed.size() + 1) * 2}}}));
    ASSERT_TRUE(ClickOn(name));
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == options && FocusOf(options) == name; }));
    Press({VK_HOME});
    Press({VK_SHIFT, VK_END});
    Press({VK_CONTROL, 'V'});
    ASSERT_TRUE(WaitFor([&] { return WideTextOf(name) == renamed; })) << "the paste never arrived";
    Click(Control(IDOK));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); }));

    std::map<std::int32_t, std::string> stored;
    for (const TMacroEntry& entry : LoadMacros(directory)) {
        stored[entry.Macro->Id] = entry.Macro->Name;
    }
    EXPECT_EQ(stored, (std::map<std::int32_t, std::string>{
                          {2, "{\"U+0416\"}{\"U+0430\"}{\"U+0440\"} \xe9"}, {3, eclair}, {4, "Apple"}}))
        << "the changed name in the code page and tags, the others byte for byte";

    // The card lists the macros with hot keys, in the saved order, as written.
    ASSERT_TRUE(tests::ChooseFromTrayMenu(processId, {VK_DOWN, VK_DOWN, VK_RETURN}));
    HWND card = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        card = FindProcessWindow(processId, "TQuickReference", "Velmora Quick Reference Card");
        return card != nullptr && WideTextOf(::GetDlgItem(card, reference_id::kPaintBox)) ==
                                      u"Ctrl + Alt + F10: \u00e9clair\r\nCtrl + Alt + F11: " + renamed;
    }));
    ASSERT_TRUE(::PostMessageA(card, WM_CLOSE, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(card); }));
    CloseAndExpectCleanExit();
}

// Under code page 932 (run by its own entry, under LANG=ja_JP.UTF-8) the box
// shows the double-byte characters, and a text the user leaves as it was
// keeps its bytes: here a written-out U+ tag, which typing anew would store
// as the character's two bytes.
TEST_F(OptionsWindowTest, JapaneseTextIsShownAndKeepsItsBytesThroughAnEditThatChangesNothing)
{
    VELMORA_REQUIRE_JAPANESE_CODE_PAGE();
    const std::string stored = "\x93\xFA\x96\x7B{\"U+8A9E\"}\x83\x5C\x83\x7B\xB1";
    const std::u16string shown = u"日本語ソボｱ";
    SaveMacros(directory, {{"Japanese", Named(HotKeyMacro(1, stored, "F9"), "Japanese")}});
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    SelectRow(Control(id::kMacroList), 0);
    const HWND box = Control(id::kSendText);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(box) && WideTextOf(box) == shown; })) << "shown whole";

    ASSERT_TRUE(ClickOn(box));
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == options && FocusOf(options) == box; }));
    Press({VK_CONTROL, VK_END});
    Press({'X'});
    ASSERT_TRUE(WaitFor([&] { return WideTextOf(box) == shown + u"x"; }));
    Press({VK_BACK});
    ASSERT_TRUE(WaitFor([&] { return WideTextOf(box) == shown; }));
    ASSERT_TRUE(ClickOn(Control(IDOK)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); }));
    EXPECT_EQ(SavedKeystrokeText(), stored);
    CloseAndExpectCleanExit();
}

TEST_F(OptionsWindowTest, SecondStartWithOptionsOpensTheWindowOfTheFirst)
{
    ASSERT_NO_FATAL_FAILURE(StartReady());
    EXPECT_EQ(FindProcessWindow(processId, "TOptions"), nullptr);
    EXPECT_EQ(RunAgain("/options"), 0u) << "the second start ends by itself";
    ASSERT_TRUE(options = WaitForOptionsWindow()) << "the first instance never opened its window";

    // Asked again, the open window comes forward; there is never a second.
    EXPECT_EQ(RunAgain("/OPTIONS"), 0u);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(tests::ProcessWindows(processId, "TOptions"), std::vector<HWND>{options});
    EXPECT_TRUE(::IsWindowVisible(options));

    ASSERT_TRUE(::PostMessageA(options, WM_CLOSE, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); }));
    CloseAndExpectCleanExit();
}

TEST_F(OptionsWindowTest, SaveThatFailsKeepsTheWindowAndItsEditsUntilItCanSave)
{
    SaveMacros(directory, {{"Existing", Named(HotKeyMacro(1, "existing", "F9"), "Existing")}});
    const std::string original = ReadFile("velmora.dtx");
    // A folder in the place of the save's temporary file makes the save
    // fail: Wine keeps no read-only mark on a folder, and file modes do not
    // stop root.
    fs::create_directory(folder / "velmora.dtx.tmp");
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    Click(Control(id::kAddMacro));
    Type(Control(id::kName), "Kept");

    ASSERT_TRUE(::PostMessageA(options, WM_CLOSE, 0, 0));
    const HWND box = WaitForMessageBox("Confirm");
    ASSERT_TRUE(box) << "a failed save must be reported";
    win32::Win32FileSystem probe(directory);
    ASSERT_EQ(probe.OpenForWriting(directory + "velmora.dtx.tmp"), nullptr);
    const std::string expected = SaveFailedQuestion("Cannot create file " + directory + "velmora.dtx: " +
                                                    probe.LastErrorText());
    EXPECT_EQ(WaitForDialogText(box, expected), expected);
    ASSERT_TRUE(Answer(box, IDNO));
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(::IsWindowVisible(options)) << "the window stays open with the edits";
    EXPECT_EQ(ListViewEntries(Control(id::kMacroList)), (std::vector<std::string>{"Existing", "Kept"}));
    EXPECT_EQ(TextOf(Control(id::kName)), "Kept");
    EXPECT_EQ(ReadFile("velmora.dtx"), original) << "the old file is whole";

    fs::remove(folder / "velmora.dtx.tmp");
    ASSERT_TRUE(::PostMessageA(options, WM_CLOSE, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); })) << "closing again saves and closes";
    EXPECT_EQ(NamesOf(LoadMacros(directory)), (std::vector<std::string>{"Existing", "Kept"}));
    EXPECT_FALSE(fs::exists(folder / "velmora.dtx.tmp"));
    CloseAndExpectCleanExit();
}

TEST_F(OptionsWindowTest, AFailedSaveAnsweredYesClosesWithoutSavingAndTheHotKeysWork)
{
    SaveMacros(directory, {{"Existing", Named(HotKeyMacro(1, "existing", "K", /*shift=*/true), "Existing")}});
    const std::string original = ReadFile("velmora.dtx");
    const std::string path = directory + "velmora.dtx";
    ASSERT_NO_FATAL_FAILURE(StartReady());
    win32::UniqueHandle lock = tests::HoldFile(path);
    ASSERT_TRUE(lock);
    const std::string question = SaveFailedQuestion("Cannot open file " + path + ": " + tests::ReasonCannotRead(path));

    ASSERT_TRUE(tests::ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    ASSERT_TRUE(tests::Activate(options));
    ASSERT_TRUE(tests::ClickOn(Control(id::kAddMacro)));
    ASSERT_TRUE(WaitFor([&] { return ListViewEntries(Control(id::kMacroList)).size() == 2; }));

    // Enter closes the window, whose save cannot read the held file; Enter
    // again answers the question with its default, No, which keeps the edits.
    ASSERT_TRUE(tests::PressOnTheXServer("Return"));
    HWND box = WaitForMessageBox("Confirm");
    ASSERT_TRUE(box) << "no question after the failed save";
    EXPECT_EQ(WaitForDialogText(box, question), question);
    ASSERT_TRUE(tests::Activate(box));
    ASSERT_TRUE(tests::PressOnTheXServer("Return"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); }));
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(::IsWindowVisible(options)) << "No keeps the window open";
    EXPECT_EQ(ListViewEntries(Control(id::kMacroList)).size(), 2u);

    // Yes closes it without saving.
    ASSERT_TRUE(tests::Activate(options));
    ASSERT_TRUE(tests::ClickOn(Control(id::kName)));
    ASSERT_TRUE(tests::PressOnTheXServer("Return"));
    box = WaitForMessageBox("Confirm");
    ASSERT_TRUE(box) << "the question comes again at the next close";
    ASSERT_TRUE(tests::ClickOn(::GetDlgItem(box, IDYES)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); })) << "Yes closes the window";
    lock.Reset();
    EXPECT_EQ(ReadFile("velmora.dtx"), original);

    // The macros of the file are in force, with their hot keys.
    ASSERT_NO_FATAL_FAILURE(OpenTarget());
    ASSERT_TRUE(tests::PressOnTheXServer("ctrl+shift+k"));
    EXPECT_EQ(target->WaitForText("existing"), "existing");
    CloseAndExpectCleanExit();
}

// The key-cap picture of the macro list, where a row with a hot key draws it.
bool KeyCapShown(const Picture& shot, POINT at, const Picture& keyCap)
{
    int compared = 0;
    for (int y = 0; y < keyCap.height; ++y) {
        for (int x = 0; x < keyCap.width; ++x) {
            const COLORREF pixel = keyCap.Pixel(x, y);
            if (pixel == RGB(192, 192, 192)) {
                continue;  // the transparent colour
            }
            const int sx = at.x + x;
            const int sy = at.y + y;
            if (sx < 0 || sy < 0 || sx >= shot.width || sy >= shot.height || shot.Pixel(sx, sy) != pixel) {
                return false;
            }
            ++compared;
        }
    }
    return compared > 0;
}

// The window painted in full: the picture fits and has stopped changing.
// Wine paints into the program's memory and copies that to the screen a
// little later.
std::optional<Picture> CaptureWhenSteady(HWND window, const std::function<bool(const Picture&)>& fits)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    std::optional<Picture> last;
    int unchanged = 0;
    const bool steady = WaitFor([&] {
        Picture shot = CaptureClientArea(window);
        unchanged = last && fits(shot) && shot.bgr == last->bgr ? unchanged + 1 : 0;
        last = std::move(shot);
        return unchanged >= 10;
    });
    return steady ? last : std::nullopt;
}

TEST_F(OptionsWindowTest, CtrlTabAndCtrlPageKeysSwitchThePagesFromTheFocusedControl)
{
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    const HWND list = Control(id::kMacroList);
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == options && FocusOf(options) == list; }));
    const auto showing = [&](int page) {
        return WaitFor([&] {
            return Visible(page == 0 ? id::kMacrosPage : id::kOptionsPage) &&
                   !Visible(page == 0 ? id::kOptionsPage : id::kMacrosPage);
        });
    };
    for (const auto& [keys, page] : {std::pair{"ctrl+Tab", 1}, std::pair{"ctrl+shift+Tab", 0},
                                     std::pair{"ctrl+Next", 1}, std::pair{"ctrl+Next", 0},
                                     std::pair{"ctrl+Prior", 1}}) {
        ASSERT_TRUE(tests::PressOnTheXServer(keys));
        EXPECT_TRUE(showing(page)) << keys;
    }
    ASSERT_TRUE(::PostMessageA(options, WM_CLOSE, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); }));
    CloseAndExpectCleanExit();
}

TEST_F(OptionsWindowTest, DpiChangeTo192TakesTheSuggestedPlaceAndLaysTheControlsOutAtTwiceTheirSize)
{
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    const auto heightOf = [&](int controlId) {
        RECT rect{};
        ::GetWindowRect(Control(controlId), &rect);
        return rect.bottom - rect.top;
    };
    // The edit panel is made when it first shows.
    Click(Control(id::kAddMacro));
    ASSERT_TRUE(WaitFor([&] { return Visible(id::kName); }));
    const std::vector<int> measured = {id::kAddMacro, id::kName, IDOK};
    std::vector<LONG> before;
    for (const int controlId : measured) {
        before.push_back(heightOf(controlId));
    }
    RECT frame{};
    ::GetWindowRect(options, &frame);
    const RECT suggested{frame.left, frame.top, frame.left + 2 * (frame.right - frame.left),
                         frame.top + 2 * (frame.bottom - frame.top)};
    const RemoteMemory memory(process.Get(), sizeof(RECT));
    memory.Write(&suggested, sizeof suggested);
    ::SendMessageW(options, WM_DPICHANGED, MAKEWPARAM(192, 192), memory.Address());

    RECT after{};
    ::GetWindowRect(options, &after);
    EXPECT_EQ(after.right - after.left, suggested.right - suggested.left) << "the suggested place is taken";
    EXPECT_EQ(after.bottom - after.top, suggested.bottom - suggested.top);
    for (std::size_t i = 0; i < measured.size(); ++i) {
        EXPECT_NEAR(heightOf(measured[i]), 2 * before[i], 2) << "control " << measured[i];
    }
    // Made after the change, at the new DPI and in its font: it is as wide
    // as the action's drop-down in the table, and a drop-down's field is as
    // high as its font makes it.
    Click(Control(id::kRunAnother));
    ASSERT_TRUE(WaitFor([&] { return Visible(id::kNextMacro); }));
    const auto widthOf = [&](int controlId) {
        RECT rect{};
        ::GetWindowRect(Control(controlId), &rect);
        return rect.right - rect.left;
    };
    EXPECT_EQ(heightOf(id::kNextMacro), heightOf(id::kAction)) << "the next macro's drop-down";
    EXPECT_EQ(widthOf(id::kNextMacro), widthOf(id::kAction)) << "the next macro's drop-down";
    ASSERT_TRUE(::PostMessageA(options, WM_CLOSE, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); }));
    CloseAndExpectCleanExit();
}

TEST_F(OptionsWindowTest, ScreenshotsOfBothPagesShowTheListWithItsKeyCaps)
{
    {
        const win32::WindowDC screen(nullptr);
        ASSERT_EQ(::GetDeviceCaps(screen.Get(), LOGPIXELSY), 96) << "the screenshots are taken at 96 DPI";
    }
    auto plain = Named(HotKeyMacro(2, "plain", ""), "Plain");
    plain->HotKeyCtrl = plain->HotKeyAlt = false;
    SaveMacros(directory, {{"Greeting", Named(HotKeyMacro(1, "Hello!", "G"), "Greeting")},
                           {"Plain", plain},
                           {"Signature", Named(HotKeyMacro(3, "Regards", "S", /*shift=*/true), "Signature")}});
    const Picture keyCap = LoadBitmapFile(tests::HostPath(VELMORA_KEYCAP_BMP));
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(ClickTrayIcon());
    ASSERT_TRUE(options = WaitForOptionsWindow());
    const HWND list = Control(id::kMacroList);
    ASSERT_EQ(ListViewEntries(list), (std::vector<std::string>{"Greeting", "Plain", "Signature"}));
    EXPECT_EQ(ListViewEntries(list, 1), (std::vector<std::string>{"Ctrl + Alt + G", "", "Shift + Ctrl + S"}))
        << "each row gives a screen reader its hot key";
    SelectRow(list, 2);
    ASSERT_TRUE(WaitFor([&] { return TextOf(Control(id::kName)) == "Signature"; }));
    EXPECT_TRUE(Visible(id::kMacroEditPanel));

    // Where each row's picture goes, in the window's client coordinates.
    POINT origin{0, 0};
    ::MapWindowPoints(list, options, &origin, 1);
    ASSERT_EQ(::SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);
    // At the row's left end; the list view may inset the rectangle a row is drawn in.
    const auto keyCapInRow = [&](const Picture& shot, int row) {
        const RECT rect = tests::ListViewRowRect(list, row);
        for (int dy = 0; dy <= 4; ++dy) {
            for (int dx = 0; dx <= 8; ++dx) {
                if (KeyCapShown(shot, POINT{origin.x + rect.left + dx, origin.y + rect.top + dy}, keyCap)) {
                    return true;
                }
            }
        }
        return false;
    };

    const std::optional<Picture> macrosPage = CaptureWhenSteady(
        options, [&](const Picture& shot) { return keyCapInRow(shot, 0) && keyCapInRow(shot, 2); });
    ASSERT_TRUE(macrosPage) << "the rows with a hot key never showed the key cap";
    EXPECT_FALSE(keyCapInRow(*macrosPage, 1)) << "a row without a hot key has no key cap";

    ASSERT_TRUE(ShowPage(1));
    const std::optional<Picture> optionsPage =
        CaptureWhenSteady(options, [&](const Picture& shot) { return !keyCapInRow(shot, 0); });
    ASSERT_TRUE(optionsPage) << "the Options page never replaced the list";

    const fs::path folderOut = ScreenshotFolder();
    for (const auto& [name, picture] : {std::pair{"options-macros-page.bmp", &*macrosPage},
                                        std::pair{"options-options-page.bmp", &*optionsPage}}) {
        const fs::path path = folderOut / name;
        EXPECT_TRUE(SaveBmp(*picture, path)) << path.string();
        EXPECT_EQ(fs::file_size(path), 54 + static_cast<std::uintmax_t>(picture->Stride() * picture->height));
        std::cout << "screenshot: " << path.string() << "\n";
    }
    ASSERT_TRUE(::PostMessageA(options, WM_CLOSE, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); }));
    CloseAndExpectCleanExit();
}

}  // namespace
}  // namespace velmora
