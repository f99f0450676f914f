// Every window of the real velmora.exe behaves as a dialog to the keyboard:
// Enter and Escape, focus kept across a switch to another program, Alt+P,
// owners disabled under a modal window, a program ending while one is up,
// and the options window's place on the screen. Keys and window switches are
// the user's own (Wine's input and the window manager), and the test looks
// at what the user would see: windows, control texts, the file, the registry.

#include <gtest/gtest.h>

#include "platform/win32/Win32.h"

#include <commctrl.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "e2e/support/VelmoraProcess.h"
#include "options/OptionsControls.h"
#include "support/TestVectors.h"
#include "support/WaitFor.h"
#include "windows/WindowTestSupport.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
namespace id = options_id;
using namespace std::chrono_literals;
using tests::Activate;
using tests::ClickOn;
using tests::ClickWithMouse;
using tests::FindVisibleWindow;
using tests::FocusOf;
using tests::Named;
using tests::NamesOf;
using tests::Press;
using tests::TextOf;
using tests::TypeKeys;
using tests::WaitFor;
using tests::WideTextOf;

constexpr const char* kOptionsCaption = "Velmora Options";
constexpr const char* kRefusedCaption = "Hot Keys Not Available";
constexpr const char* kRandomTag = "{\"Rand 1,6\"}";
constexpr int kTakenHotKeyId = 0x7000;

// The windows the tests open, each in its own way.
enum class Window { Options, Password, Random, Refused, About, Welcome, Card, Clash };

// A rectangle in screen coordinates lies wholly inside another.
bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

RECT ScreenRect(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

class DialogKeyboardTest : public tests::VelmoraProcessTest {
public:
    // For the cases' functions below.
    using VelmoraProcessTest::directory;
    using VelmoraProcessTest::processId;
    using VelmoraProcessTest::Settle;
    using VelmoraProcessTest::WaitForWindow;

    void SetUp() override
    {
        VelmoraProcessTest::SetUp();
        settingsKey = UseOwnName("velmora-dialog");
        ASSERT_NO_FATAL_FAILURE(tests::SetRegistryText(settingsKey, "FirstTimeRun_Checked", "False"));
    }

    void TearDown() override
    {
        if (hotKeyTaken) {
            ::UnregisterHotKey(nullptr, kTakenHotKeyId);
        }
        VelmoraProcessTest::TearDown();
    }

    // What must be in place before the program starts.
    void Arrange(Window window)
    {
        switch (window) {
        case Window::Password:
            tests::SaveMacros(directory, {}, "Secret");
            break;
        case Window::Refused:
            // Another program holds Ctrl+Alt+J; the macros are not in name
            // order, so every save writes a file unlike the one before.
            hotKeyTaken = ::RegisterHotKey(nullptr, kTakenHotKeyId, MOD_CONTROL | MOD_ALT, 'J') != FALSE;
            ASSERT_TRUE(hotKeyTaken) << "Ctrl+Alt+J is taken already";
            tests::SaveMacros(directory, {{"Zulu", Named(tests::HotKeyMacro(1, "z", "J"), "Zulu")},
                                          {"Alpha", Named(tests::TextMacro(2, "a", 0), "Alpha")}});
            break;
        case Window::Clash:
            tests::SaveMacros(directory, {{"Alpha", Named(tests::HotKeyMacro(1, "a", "K"), "Alpha")},
                                          {"Beta", Named(tests::HotKeyMacro(2, "b", "K"), "Beta")}});
            break;
        case Window::Welcome:
            ::RegDeleteKeyValueA(HKEY_CURRENT_USER, settingsKey.c_str(), "FirstTimeRun_Checked");
            break;
        default:
            tests::SaveMacros(directory, {{"Typing", Named(tests::TextMacro(1, "abc", 0), "Typing")}});
            break;
        }
    }

    // Opens the window in the running program as a user would; its handle.
    HWND Open(Window window)
    {
        switch (window) {
        case Window::Options:
            return OpenOptions();
        case Window::Password:
            return tests::ClickTrayIcon() ? WaitForWindow(nullptr, "Velmora Password") : nullptr;
        case Window::Random:
            return OpenRandomNumberDialog();
        case Window::Refused:
            return OpenOptions() && ClickOn(Control(IDOK)) ? WaitForWindow(nullptr, kRefusedCaption) : nullptr;
        case Window::About:
            // Help is the first item; About... the last of its submenu.
            return FromTrayMenu({VK_DOWN, VK_RIGHT, VK_UP, VK_RETURN}, "About Velmora");
        case Window::Welcome:
            return WaitForWindow(nullptr, "Welcome to Velmora");
        case Window::Card:
            return FromTrayMenu({VK_DOWN, VK_DOWN, VK_RETURN}, "Velmora Quick Reference Card");
        case Window::Clash:
            return OpenOptions() && ClickOn(Control(IDOK)) ? WaitForMessageBox("Confirm") : nullptr;
        }
        return nullptr;
    }

    HWND OpenOptions()
    {
        options = tests::ClickTrayIcon() ? WaitForWindow(nullptr, kOptionsCaption) : nullptr;
        return options;
    }

    // The options window with its one keystroke macro shown for editing.
    bool ShowTheKeystrokeMacro()
    {
        const HWND list = Control(id::kMacroList);
        const RECT row = tests::ListViewRowRect(list, 0);
        const RECT rect = ScreenRect(list);
        return ClickWithMouse({rect.left + 30, rect.top + (row.top + row.bottom) / 2}) && WaitFor([&] {
                   return ::IsWindowVisible(Control(id::kSendText)) && TextOf(Control(id::kName)) == "Typing";
               });
    }

    HWND OpenRandomNumberDialog()
    {
        if (!OpenOptions() || !ShowTheKeystrokeMacro() || !ClickOn(Control(id::kInsertVariable)) ||
            !WaitFor([&] { return FindVisibleWindow(processId, "#32768") != nullptr; })) {
            return nullptr;
        }
        Press({'M'});  // &Misc.
        Press({'R'});  // &Random Number Generator
        return WaitForWindow(nullptr, "Insert Random Number Generator");
    }

    HWND FromTrayMenu(std::initializer_list<BYTE> keys, const char* caption)
    {
        return tests::ChooseFromTrayMenu(processId, keys) ? WaitForWindow(nullptr, caption) : nullptr;
    }

    HWND Control(int controlId) const { return tests::FindControl(options, controlId); }

    // Gives the window the focus as the user would, then presses the key.
    static bool PressIn(HWND window, std::initializer_list<BYTE> keys)
    {
        if (!Activate(window)) {
            return false;
        }
        Press(keys);
        return true;
    }

    static bool Gone(HWND window)
    {
        return WaitFor([&] { return !::IsWindow(window) || !::IsWindowVisible(window); });
    }

    // Every other window the program shows is disabled under the modal one.
    void ExpectOthersDisabled(HWND modal) const
    {
        int others = 0;
        for (const HWND window : tests::ProcessWindows(processId, nullptr)) {
            if (window != modal && ::IsWindowVisible(window)) {
                ++others;
                EXPECT_FALSE(::IsWindowEnabled(window)) << "\"" << TextOf(window) << "\" is still enabled";
            }
        }
        EXPECT_GT(others, 0) << "nothing under the modal window";
    }

    // The program ended by itself, cleanly: exit code 0, no error box, and
    // its settings saved (only a save writes FormVersion).
    void ExpectCleanEnd(std::chrono::milliseconds within)
    {
        bool errorBox = false;
        const bool ended = WaitFor(
            [&] {
                errorBox = errorBox || FindVisibleWindow(processId, "#32770", "Velmora") != nullptr;
                return !Running();
            },
            within);
        ASSERT_TRUE(ended) << "the program did not end";
        DWORD exitCode = 99;
        ::GetExitCodeProcess(process.Get(), &exitCode);
        process.Reset();
        EXPECT_EQ(exitCode, 0u);
        EXPECT_FALSE(errorBox) << "an error box showed on the way out";
        EXPECT_EQ(tests::RegistryText(settingsKey, "FormVersion"), "0") << "the settings were not saved";
    }

    std::string settingsKey;
    HWND options = nullptr;
    bool hotKeyTaken = false;
};

// ---- Enter and Escape on every window ----

struct KeyCase {
    const char* name;
    Window window;
    // Before the key, with the window active: what the user does there.
    void (*prepare)(DialogKeyboardTest&, HWND window);
    // Once the window is gone.
    void (*check)(DialogKeyboardTest&, bool enter);
};

void PrintTo(const KeyCase& c, std::ostream* out)
{
    *out << c.name;
}

const KeyCase kKeyCases[] = {
    // There is no Cancel: Escape saves the edits as OK does.
    {"Options", Window::Options,
     [](DialogKeyboardTest& t, HWND) {
         ASSERT_TRUE(ClickOn(t.Control(id::kAddMacro)));
         ASSERT_TRUE(WaitFor([&] { return FocusOf(t.options) == t.Control(id::kName); }));
         Press({VK_HOME});
         Press({VK_SHIFT, VK_END});
         TypeKeys("Kept");
     },
     [](DialogKeyboardTest& t, bool) {
         EXPECT_EQ(NamesOf(tests::LoadMacros(t.directory)), (std::vector<std::string>{"Kept", "Typing"}));
     }},
    {"Password", Window::Password, [](DialogKeyboardTest&, HWND) { TypeKeys("Secret"); },
     [](DialogKeyboardTest& t, bool enter) {
         if (enter) {
             EXPECT_TRUE(t.WaitForWindow(nullptr, kOptionsCaption)) << "Enter is OK with the password";
         } else {
             ASSERT_TRUE(t.Settle());
             EXPECT_EQ(FindVisibleWindow(t.processId, nullptr, kOptionsCaption), nullptr) << "Escape cancels";
         }
     }},
    {"RandomNumber", Window::Random,
     [](DialogKeyboardTest&, HWND) {
         TypeKeys("1");
         Press({VK_TAB});
         TypeKeys("6");
     },
     [](DialogKeyboardTest& t, bool enter) {
         ASSERT_TRUE(t.Settle());
         const std::u16string text = WideTextOf(t.Control(id::kSendText));
         const std::u16string tag(kRandomTag, kRandomTag + std::char_traits<char>::length(kRandomTag));
         EXPECT_EQ(text.find(tag) != std::u16string::npos, enter) << "Enter inserts the tag, Escape nothing";
         EXPECT_EQ(text.size(), 3 + (enter ? tag.size() : 0));
         EXPECT_TRUE(::IsWindowVisible(t.options));
     }},
    {"RefusedHotKeys", Window::Refused, nullptr, nullptr},
    {"About", Window::About, nullptr, nullptr},
    // Wherever the focus is: a click on the window's text first.
    {"Welcome", Window::Welcome, [](DialogKeyboardTest&, HWND window) { ASSERT_TRUE(ClickOn(window)); }, nullptr},
    {"QuickReferenceCard", Window::Card, nullptr, nullptr},
};

class EnterAndEscapeTest : public DialogKeyboardTest,
                           public ::testing::WithParamInterface<std::tuple<KeyCase, BYTE>> {};

TEST_P(EnterAndEscapeTest, CloseTheWindow)
{
    const auto& [c, key] = GetParam();
    ASSERT_NO_FATAL_FAILURE(Arrange(c.window));
    ASSERT_NO_FATAL_FAILURE(StartReady());
    const HWND window = Open(c.window);
    ASSERT_TRUE(window) << "the window never opened";
    ASSERT_TRUE(Activate(window)) << "the window never became active";
    const std::string caption = TextOf(window);
    if (c.prepare != nullptr) {
        ASSERT_NO_FATAL_FAILURE(c.prepare(*this, window));
    }
    Press({key});
    ASSERT_TRUE(Gone(window)) << "the key did not close the window";
    if (c.check != nullptr) {
        ASSERT_NO_FATAL_FAILURE(c.check(*this, key == VK_RETURN));
    }
    ASSERT_TRUE(Settle());
    EXPECT_EQ(FindVisibleWindow(processId, nullptr, caption.c_str()), nullptr) << "it came back";
    CloseAndExpectCleanExit();
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, EnterAndEscapeTest,
                         ::testing::Combine(::testing::ValuesIn(kKeyCases),
                                            ::testing::Values(BYTE{VK_RETURN}, BYTE{VK_ESCAPE})),
                         [](const auto& row) {
                             return std::string(std::get<0>(row.param).name) +
                                    (std::get<1>(row.param) == VK_RETURN ? "_Enter" : "_Escape");
                         });

// ---- Focus, Enter in a multi-line text, mnemonics ----

TEST_F(DialogKeyboardTest, TypingAfterSwitchingAwayAndBackLandsInTheSameTextAndEnterMakesANewLine)
{
    ASSERT_NO_FATAL_FAILURE(Arrange(Window::Options));
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_TRUE(OpenOptions());
    ASSERT_TRUE(ShowTheKeystrokeMacro());
    const HWND text = Control(id::kSendText);
    ASSERT_TRUE(ClickOn(text));
    ASSERT_TRUE(WaitFor([&] { return FocusOf(options) == text; }));
    Press({VK_CONTROL, VK_END});
    TypeKeys("d");

    // Away to another program, which takes what is typed there.
    ASSERT_NO_FATAL_FAILURE(OpenTarget());
    TypeKeys("x");
    EXPECT_EQ(target->WaitForText("x"), "x");

    // And back, as with Alt+Tab: the focus is where it was.
    ASSERT_TRUE(Activate(options));
    EXPECT_TRUE(WaitFor([&] { return FocusOf(options) == text; }, 5s)) << "the focus was not given back";
    TypeKeys("e");
    Press({VK_RETURN});
    TypeKeys("f");
    EXPECT_TRUE(WaitFor([&] { return WideTextOf(text) == u"abcde\r\nf"; }, 10s))
        << "the keystroke text reads \"" << TextOf(text) << "\"";
    ASSERT_TRUE(::IsWindow(options) && ::IsWindowVisible(options)) << "Enter in the text closed the window";
    EXPECT_EQ(target->Text(), "x");

    ASSERT_TRUE(ClickOn(Control(IDOK)));
    ASSERT_TRUE(Gone(options));
    const TMacroList saved = tests::LoadMacros(directory);
    ASSERT_EQ(saved.size(), 1u);
    const auto* typed = dynamic_cast<const TTextMacro*>(saved[0].Macro->Settings.get());
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->Text, "abcde\r\nf");
    CloseAndExpectCleanExit();
}

TEST_F(DialogKeyboardTest, AltPOpensThePrintDialogOverTheOptionsAndEscapeClosesIt)
{
    ASSERT_NO_FATAL_FAILURE(Arrange(Window::Options));
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_TRUE(OpenOptions());
    ASSERT_TRUE(PressIn(options, {VK_MENU, 'P'}));
    const HWND print = WaitForMessageBox("Print");
    ASSERT_TRUE(print) << "Alt+P did not open the print dialog";
    EXPECT_FALSE(::IsWindowEnabled(options)) << "the options window is usable under the print dialog";
    ASSERT_TRUE(PressIn(print, {VK_ESCAPE}));
    ASSERT_TRUE(Gone(print)) << "Escape did not close the print dialog";
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(::IsWindowVisible(options) && ::IsWindowEnabled(options));
    CloseAndExpectCleanExit();
}

// ---- Re-entrance ----

TEST_F(DialogKeyboardTest, RefusedHotKeysShowOnlyOnceTheOptionsWindowIsGoneAndOnlyOnce)
{
    ASSERT_NO_FATAL_FAILURE(Arrange(Window::Refused));
    const std::string original = ReadFile("velmora.dtx");
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_TRUE(OpenOptions());
    ASSERT_TRUE(PressIn(options, {VK_RETURN}));
    const HWND refused = WaitForWindow(nullptr, kRefusedCaption);
    ASSERT_TRUE(refused) << "the refused hot key was not listed";
    EXPECT_FALSE(::IsWindow(options) && ::IsWindowVisible(options)) << "the list shows over the options window";
    EXPECT_EQ(tests::ListBoxEntries(tests::ChildOfClass(refused, "ListBox")),
              std::vector<std::string>{"[Ctrl + Alt + J] Zulu - taken by another program"});

    // A user who still sees the options window presses Enter there again.
    if (::IsWindow(options) && ::IsWindowVisible(options)) {
        Activate(options);
        Press({VK_RETURN});
    }
    // Enter closes each list that shows, the newest first; one must have been all.
    std::set<HWND> lists{refused};
    for (int round = 0; round < 4; ++round) {
        ASSERT_TRUE(Settle());
        HWND newest = nullptr;
        for (const HWND list : tests::ProcessWindows(processId, nullptr, kRefusedCaption)) {
            if (::IsWindowVisible(list)) {
                lists.insert(list);
                newest = ::IsWindowEnabled(list) ? list : newest;
            }
        }
        if (newest == nullptr) {
            break;
        }
        ASSERT_TRUE(PressIn(newest, {VK_RETURN}));
        ASSERT_TRUE(Gone(newest));
    }
    EXPECT_EQ(lists.size(), 1u) << "the list came more than once";
    EXPECT_EQ(FindVisibleWindow(processId, nullptr, kOptionsCaption), nullptr);
    EXPECT_EQ(ReadFile("velmora.dtx.bak"), original) << "saved more than once";
    EXPECT_EQ(NamesOf(tests::LoadMacros(directory)), (std::vector<std::string>{"Alpha", "Zulu"}));
    CloseAndExpectCleanExit();
}

// While the password prompt is up, every other way to a window of the
// program brings the prompt to the front and opens nothing more.
TEST_F(DialogKeyboardTest, WhileThePasswordPromptIsUpEveryRequestBringsItToTheFront)
{
    TMacroList macros;
    for (const auto& [macroId, key, action] : {std::tuple{1, "K", VelmoraAction::ShowQuickReference},
                                               std::tuple{2, "L", VelmoraAction::OpenOptions}}) {
        auto macro = tests::HotKeyMacro(macroId, "", key);
        auto command = std::make_unique<TVelmoraMacro>();
        command->Action = static_cast<std::int32_t>(action);
        macro->Settings = std::move(command);
        macros.push_back({key, macro});
    }
    tests::SaveMacros(directory, macros, "Secret");
    ASSERT_NO_FATAL_FAILURE(StartReady());
    const HWND prompt = Open(Window::Password);
    ASSERT_TRUE(prompt) << "the prompt never opened";
    ASSERT_NO_FATAL_FAILURE(OpenTarget());

    const std::pair<const char*, std::function<void()>> requests[] = {
        {"the card's hot key", [] { Press({VK_CONTROL, VK_MENU, 'K'}); }},
        {"the options' hot key", [] { Press({VK_CONTROL, VK_MENU, 'L'}); }},
        {"a second start with /options", [this] { EXPECT_EQ(RunAgain("/options"), 0u); }},
        {"a second start", [this] { EXPECT_EQ(RunAgain(""), 0u); }},
        {"the tray icon", [] { ASSERT_TRUE(tests::ClickTrayIcon()); }},
    };
    for (const auto& [name, request] : requests) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(target->Focus()) << "the prompt kept the front";
        // The program, too, has handled what the window manager told it
        // about the switch before the request comes.
        ASSERT_TRUE(Settle());
        request();
        EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == prompt; })) << "the prompt is not in front";
        ASSERT_TRUE(Settle());
        EXPECT_EQ(tests::ProcessWindows(processId, "TPassword").size(), 1u);
        for (const char* className : {"TQuickReference", "TOptions"}) {
            EXPECT_EQ(FindVisibleWindow(processId, className), nullptr) << className << " opened";
        }
    }
    EXPECT_EQ(target->Text(), "") << "no key reached the other program";
    CloseAndExpectCleanExit();
}

// A modal window over the options window (or over nothing) when the program
// is told to end, with the quick reference card open beside them.
struct TeardownCase {
    const char* name;
    Window modal;
    bool fromTrayMenu;  // "Close Velmora", else a second start with /shutdown
};

void PrintTo(const TeardownCase& c, std::ostream* out)
{
    *out << c.name;
}

class TeardownTest : public DialogKeyboardTest, public ::testing::WithParamInterface<TeardownCase> {};

TEST_P(TeardownTest, EndsTheModalWindowAndTheProgramCleanly)
{
    const TeardownCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(Arrange(c.modal));
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_TRUE(Open(Window::Card)) << "the card never opened";
    const HWND modal = Open(c.modal);
    ASSERT_TRUE(modal) << "the modal window never opened";
    ExpectOthersDisabled(modal);

    if (c.fromTrayMenu) {
        // Up from no selection reaches the last item, "Close Velmora".
        ASSERT_TRUE(tests::ChooseFromTrayMenu(processId, {VK_UP, VK_RETURN}))
            << "the tray menu did not open over the modal window";
    } else {
        EXPECT_EQ(RunAgain("/shutdown"), 0u);
    }
    ExpectCleanEnd(10s);
}

INSTANTIATE_TEST_SUITE_P(ModalWindows, TeardownTest,
                         ::testing::Values(TeardownCase{"ClashQuestionThenCloseVelmora", Window::Clash, true},
                                           TeardownCase{"ClashQuestionThenShutdown", Window::Clash, false},
                                           TeardownCase{"PasswordPromptThenShutdown", Window::Password, false},
                                           TeardownCase{"RandomNumberDialogThenShutdown", Window::Random, false}),
                         [](const auto& row) { return std::string(row.param.name); });

// ---- Place on the screen ----

TEST_F(DialogKeyboardTest, MinimisedOptionsWindowAnswersAndTheTrayIconBringsItBackWhole)
{
    ASSERT_NO_FATAL_FAILURE(Arrange(Window::Options));
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_TRUE(OpenOptions());
    ASSERT_TRUE(tests::Minimize(options)) << "the window could not be minimised";
    const auto answers = [&] {
        return ::SendMessageTimeoutA(options, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr) != 0;
    };
    EXPECT_TRUE(answers()) << "the minimised window does not answer";

    ASSERT_TRUE(tests::ClickTrayIcon());
    ASSERT_TRUE(WaitFor([&] { return !::IsIconic(options) && ::IsWindowVisible(options); }))
        << "the tray icon did not bring the window back";
    EXPECT_TRUE(answers());
    RECT client{};
    ::GetClientRect(options, &client);
    RECT ok = ScreenRect(Control(IDOK));
    ::MapWindowPoints(nullptr, options, reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_TRUE(Inside(ok, client)) << "OK lies at " << ok.left << "," << ok.top << " in a client area of "
                                    << client.right << "x" << client.bottom;
    CloseAndExpectCleanExit();
}

TEST_F(DialogKeyboardTest, StoredSizeLargerThanTheScreenIsCentredWhollyOnTheWorkArea)
{
    ASSERT_NO_FATAL_FAILURE(Arrange(Window::Options));
    tests::SetRegistryText(settingsKey, "OptionsWidth_Caption", "1400");
    tests::SetRegistryText(settingsKey, "OptionsHeight_Caption", "900");
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_TRUE(OpenOptions());
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    const RECT frame = ScreenRect(options);
    EXPECT_TRUE(Inside(frame, work)) << "the window spans " << frame.left << "," << frame.top << " to "
                                     << frame.right << "," << frame.bottom;
    EXPECT_LE(std::abs((frame.left - work.left) - (work.right - frame.right)), 1) << "not centred across";
    EXPECT_LE(std::abs((frame.top - work.top) - (work.bottom - frame.bottom)), 1) << "not centred down";
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    for (const int button : {IDOK, id::kPrint}) {
        EXPECT_TRUE(Inside(ScreenRect(Control(button)), screen)) << "button " << button << " is off the screen";
    }
    CloseAndExpectCleanExit();
}

}  // namespace
}  // namespace velmora
