#pragma once

// Runs the real velmora.exe from a scratch folder of its own, and what the
// end-to-end tests need around it: its windows and message boxes, macro files
// written with the program's own writer, keys pressed as a user would.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "e2e/support/TargetProcess.h"
#include "macros/MacroFile.h"
#include "platform/win32/Handles.h"
#include "support/TemporaryFolder.h"

// The Japanese cases need code page 932, which Wine takes from LANG: their
// own entries run them under ja_JP.UTF-8 and set VELMORA_JAPANESE, so a
// missing locale fails there instead of passing as a skip; elsewhere they
// are skipped.
#define VELMORA_REQUIRE_JAPANESE_CODE_PAGE()                                                        \
    do {                                                                                            \
        if (::GetACP() != 932) {                                                                    \
            if (std::getenv("VELMORA_JAPANESE") != nullptr) {                                        \
                FAIL() << "code page " << ::GetACP() << ", not 932: is ja_JP.UTF-8 generated?";      \
            }                                                                                       \
            GTEST_SKIP() << "needs code page 932 (LANG=ja_JP.UTF-8), not " << ::GetACP();            \
        }                                                                                           \
    } while (false)

namespace velmora::tests {

// Starts "program" arguments in the folder (the program's own when empty);
// its process, empty when it would not start. A limited start runs it with
// the limited token linked to this process's elevated one, as Windows starts
// a program for an administrator who did not ask to run it as one.
win32::UniqueHandle StartProgram(const std::string& program, const std::string& arguments = {},
                                 const std::string& directory = {}, DWORD* processId = nullptr,
                                 bool limited = false);

// Every thread of another process stopped, as a debugger or a hang would
// leave it, for as long as the object lives.
class SuspendedProcess {
public:
    explicit SuspendedProcess(DWORD processId);
    SuspendedProcess(const SuspendedProcess&) = delete;
    SuspendedProcess& operator=(const SuspendedProcess&) = delete;
    ~SuspendedProcess();

    // False when no thread could be stopped.
    explicit operator bool() const { return !m_threads.empty(); }

private:
    std::vector<win32::UniqueHandle> m_threads;
};

// Whether the process's token is elevated; nothing when it cannot be read.
std::optional<bool> Elevated(DWORD processId);

// Starts a program and waits for its end; its exit code, or nothing when it
// would not start or not end in time (it is then ended).
std::optional<DWORD> RunToEnd(const std::string& program, const std::string& arguments,
                              const std::string& directory = {},
                              std::chrono::milliseconds timeout = std::chrono::seconds(30));

// A real right click on the program's tray icon, the only one in Wine's tray
// window, then the keys in its menu; false when the menu did not open. (Wine
// gives the keyboard to the menu of a hidden window only when the X server's
// focus allows it, so the keys go to the menu itself.)
bool ChooseFromTrayMenu(DWORD processId, std::initializer_list<BYTE> keys);

// A real left click on the program's tray icon, the only one in Wine's tray
// window; false when the click could not be given.
bool ClickTrayIcon();

// Opens the file for reading and shares nothing, as another program holding
// it might; the handle keeps it held.
win32::UniqueHandle HoldFile(const std::string& path);

// The system's words for why the file cannot be read now, as the program
// reports them; empty when it can be read.
std::string ReasonCannotRead(const std::string& path);

// True once the program shows its tray icon, which start-up adds after
// registering the hot keys. (Probing a hot key by registering it could take
// it from under the program while it registers.)
bool TrayIconShown(HWND mainWindow);

// True when another program holds Ctrl+Alt and the key.
bool HotKeyTaken(UINT key);

// True while Shift, Ctrl or Alt is down for the whole desktop.
bool ModifierKeyDown();

// Replaces the field's text as typing over a selection does. (WM_SETTEXT
// would not tell the window about a multi-line edit's change.)
void Type(HWND edit, const std::string& text);

void Click(HWND button);

// Empties the clipboard and puts each format's bytes there, as another
// program would; false when the clipboard would not open or take one.
bool PutOnClipboard(const std::vector<std::pair<UINT, std::string>>& formats);

// The bytes of one format of the clipboard, or nothing when it lacks it.
// Reading a format that is rendered late makes its owner render it.
std::optional<std::string> ClipboardBytes(UINT format);

// A macro named "Macro <id>" that types text and then runs macro next.
std::shared_ptr<TMacro> TextMacro(std::int32_t id, std::string text, std::int32_t next);

// A macro on Ctrl+Alt+key (or Ctrl+Shift+key) that types text, with no link.
std::shared_ptr<TMacro> HotKeyMacro(std::int32_t id, std::string text, std::string key, bool shift = false);

// Writes the macros (and the options password) beside the program with the
// program's own writer.
// The macro with that name given to it.
std::shared_ptr<TMacro> Named(std::shared_ptr<TMacro> macro, const std::string& name);
// The macros' names, in list order.
std::vector<std::string> NamesOf(const TMacroList& macros);

void SaveMacros(const std::string& directory, const TMacroList& macros, const std::string& password = {});

// Reads the macros beside the program with the program's own reader.
TMacroList LoadMacros(const std::string& directory, std::string* password = nullptr);

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A text value under HKEY_CURRENT_USER, or nothing. Texts and keys are UTF-8.
std::optional<std::string> RegistryText(const std::string& key, const char* value);

// Writes a text value under HKEY_CURRENT_USER, making the key when needed.
void SetRegistryText(const std::string& key, const char* value, const std::string& text);

// Removes what a start of a renamed program left in the registry: its
// settings, and the log-on start unless it was there before.
void ForgetSettings(const std::string& baseName, const std::optional<std::string>& runBefore);

class VelmoraProcessTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Start();
    // Starts the program and waits until start-up has finished: its tray
    // icon shows once the hot keys are registered.
    void StartReady();
    // StartReady, then a target window of another program with the focus,
    // where the hot keys type.
    void StartReadyWithTarget();
    // Opens that target window and gives it the focus.
    void OpenTarget();

    // A window of the program once it shows, its controls made.
    HWND WaitForWindow(const char* className, const char* caption = nullptr) const;
    HWND WaitForMessageBox(const char* caption) const { return WaitForWindow("#32770", caption); }
    // The box exists a moment before its text does.
    static std::string WaitForDialogText(HWND box, const std::string& expected);
    // Waits until every message the program has been given is handled.
    bool Settle() const;

    // Closing the main window must end the program cleanly.
    void CloseAndExpectCleanExit();

    // Starts velmora.exe again from the same folder and waits for it to end.
    DWORD RunAgain(const std::string& arguments);

    // Runs the program under a name of its own, so it starts with no settings
    // and a first run; its settings and log-on start are removed at the end.
    // Returns its settings key.
    std::string UseOwnName(const std::string& prefix);

    // Runs the program from a new folder of that name (UTF-8) in the scratch folder.
    void UseFolder(const std::string& name);

    bool Running();

    std::string ReadFile(const std::string& name);
    void WriteFile(const std::string& name, const std::string& bytes);

    // Start() runs the program without elevation (see StartProgram).
    bool limited = false;
    std::optional<TargetProcess> target;
    // The settings key is named after the program file, so a test that needs
    // a first start gives the program a name of its own.
    std::string exeName = "velmora.exe";
    TemporaryFolder temporary{"velmora-e2e-"};
    std::filesystem::path folder = temporary.Path();
    // The folder as the program names it (UTF-8), ending in a backslash.
    std::string directory;
    win32::UniqueHandle process;
    DWORD processId = 0;
    HWND mainWindow = nullptr;

private:
    std::optional<std::string> m_ownName;
    std::optional<std::string> m_runBefore;
};

}  // namespace velmora::tests
