#pragma once

// The hidden main window: it owns the macros, receives the hot keys and the
// requests of a second start, and carries the tray icon and its menu.

#include <functional>
#include <memory>

#include "hotkeys/AbbreviationTrigger.h"
#include "hotkeys/HotKeys.h"
#include "settings/Settings.h"
#include "app/ShareMapping.h"
#include "app/TrayIcon.h"
#include "app/frmFirstTime.h"
#include "ui/WebLinks.h"
#include "engine/MacroRunner.h"
#include "macros/MacroFile.h"
#include "options/PasswordGate.h"
#include "platform/win32/FolderWatch.h"
#include "platform/win32/Win32ForegroundWatch.h"
#include "platform/win32/Win32HotKeys.h"
#include "platform/win32/Win32KeyWatch.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Window.h"

namespace velmora {

class TOptions;
class TQuickReference;

// The main window's own messages start at WM_APP: it is a dialog, and a
// dialog's class has DM_GETDEFID, DM_SETDEFID and DM_REPOSITION just above 1024.
inline constexpr UINT WM_STARTUP = WM_APP + 0x10;
inline constexpr UINT WM_SHOW_OPTIONS = WM_APP + 0x11;
inline constexpr UINT WM_OPTIONS_CLOSED = WM_APP + 0x12;
inline constexpr UINT WM_REFERENCE_CLOSED = WM_APP + 0x13;
inline constexpr UINT WM_SHOW_REFUSED_HOT_KEYS = WM_APP + 0x14;
// From the watch of the program's folder: a file there changed.
inline constexpr UINT WM_FOLDER_CHANGED = WM_APP + 0x20;
// From the key watch's hook thread: a key pressed, a mouse button pressed.
inline constexpr UINT WM_KEY_WATCH_KEY = WM_APP + 0x30;
inline constexpr UINT WM_KEY_WATCH_CLICK = WM_APP + 0x31;
inline constexpr const char* kShareMappingName = "Velmora1(ipc)";

// A second start's request to the running copy: the registered message, its
// wParam the request. The running copy answers kRequestTaken.
inline constexpr const char* kInstanceRequestName = "Velmora.InstanceRequest";
enum InstanceRequest : WPARAM { kRequestShutdown = 1, kRequestShowOptions = 2 };
inline constexpr LRESULT kRequestTaken = 0x564D;
// What older copies send, and the installer through them; still taken from
// another process. (In this dialog class 1026 is also DM_REPOSITION.)
inline constexpr UINT kOlderShutdownMessage = 1026;
inline constexpr UINT kOlderShowOptionsMessage = 1027;

class TMain : public win32::Window<TMain> {
public:
    static constexpr const char* kClassName = "TMain";

    TMain();
    ~TMain();

    // Creates the window off-screen and queues the start-up.
    bool FormCreate();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    MacroStore& Macros() { return m_macros; }
    // The settings record; saved at close or exit.
    SettingsRecord& Settings() { return m_settings; }
    MacroRunner& Runner() { return m_runner; }

    // Registers the hot key of every macro; the refused ones are listed to
    // the user only when showErrors is set.
    void RegisterHotKeys(bool showErrors);
    void UnregisterHotKeys();
    // Hot keys shared by macros for different programs follow the program in front.
    void FollowForegroundWithHotKeys();

    // The windows the tray menu and the program's own commands open.
    void OpenOptionsWindow();
    void OpenQuickReference();
    bool OptionsOpen() const;
    bool QuickReferenceOpen() const;

private:
    enum MenuCommand : UINT {
        // The help submenu's commands come first.
        kHelpMenuFirst = 100,
        kQuickReferenceCard = kHelpMenuFirst + kHelpCommandCount,
        kOptions,
        kCloseVelmora,
    };

    // The timer by which the tray icon retries adding itself.
    static constexpr UINT_PTR kTrayRetryTimer = 1;
    // The timer by which an exit waits for the modal windows it ended to go.
    static constexpr UINT_PTR kExitTimer = 2;
    // How long a second start waits for the first copy to handle its request.
    static constexpr UINT kRequestTimeoutMs = 5000;
    // The timer by which a burst of changes in the folder settles before
    // the macro file is read again.
    static constexpr UINT_PTR kMacroFileTimer = 4;
    // The timer by which a busy clipboard is given back after a paste.
    static constexpr UINT_PTR kClipboardTimer = 3;

    void WMStartUp();
    // A second start hands /shutdown or /options to the first copy, if that
    // is this program for this user, and says so when it does not answer.
    void PassRequestToRunningInstance();
    void WMShutdown();
    // A request of a second start (kRequestShutdown, kRequestShowOptions).
    void WMInstanceRequest(WPARAM request);
    // A request an older copy sends, taken only from another process.
    bool OlderInstanceRequest(UINT message);
    // While a modal window is up, a request for another of the program's
    // windows brings the modal one to the front instead; true when it did.
    bool ModalWindowTakesRequest();
    void WMHotKey(WPARAM id);
    // What waited for a run to end: the exit, the windows asked for meanwhile.
    void AfterRun();
    void WMEndSession(bool ending);
    // Closes the program now, or, while a macro runs or a modal window is
    // up, once they have ended.
    void EndProgram();
    bool ReadyToExit() const;
    void ExitTimer();
    void ClipboardTimer();
    // Lists the hot keys refused when the options closed, once their window is gone.
    void ShowRefusedHotKeys();
    void WMShowOptions();
    // The file is the truth: read it again when it changed, unless the
    // options window is open (its save keeps the other version).
    void MacroFileTimer();
    void CheckMacroFile();
    // Runs the action now, or once the running macro has ended.
    void WhenNoMacroRuns(std::function<void()> action);
    void TrayIconClick();
    void TrayIconMessage(WPARAM wParam, LPARAM lParam);
    void ShowTrayMenu(POINT anchor);
    void MenuCommandClick(UINT command);
    void CloseVelmoraClick();
    void FormDestroy();
    void BuildTrayMenu();
    void SaveSettings();
    void ShowWarning(std::string_view text);
    // Abbreviations: the matcher hears the key watch and the foreground
    // watch, and matches nothing while the options window is open or a
    // macro runs.
    void FollowForegroundWithAbbreviations();
    // The key watch runs while some macro has an abbreviation.
    void FollowAbbreviations();

    win32::Win32Platform m_platform;
    win32::Win32Registry m_registry;
    SettingsRecord m_settings;
    SettingsStore m_settingsStore{m_registry, ExecutableBaseName(win32::ModuleFileName())};
    AutoStart m_autoStart{m_registry};
    MacroStore m_macros{m_platform.Files()};
    RandomGenerator m_random;
    MacroRunner m_runner{m_platform.Get(), m_macros.MacroList, m_random,
                         [this] { return m_settings.SlowdownKeystrokes; },
                         [this] { return m_settings.UnicodeInput; }};
    win32::Win32HotKeys m_hotKeys;
    // The one watch of the foreground program; each listener chains itself
    // onto Changed.
    win32::Win32ForegroundWatch m_foregroundWatch;
    HotKeyRegistrar m_registrar{m_hotKeys, m_platform.Get().keyboard, m_platform.Get().codePage, m_foregroundWatch};
    HotKeyDispatcher m_dispatcher{m_runner, m_macros.MacroList, m_hotKeys, m_platform.Get().codePage};
    win32::Win32KeyWatch m_keyWatch;
    AbbreviationTrigger m_abbreviations{m_keyWatch, m_foregroundWatch, m_dispatcher, m_platform.Get().codePage};
    std::unique_ptr<TShareMapping> Mapping;
    PasswordGate m_passwordGate;
    // While open, no hot key is registered; kept after closing until the
    // window's own message has finished.
    std::unique_ptr<TOptions> m_options;
    // Likewise kept until its own message has finished.
    std::unique_ptr<TQuickReference> m_reference;
    WelcomeWindowSlot m_welcome;
    std::vector<std::string> m_refusedHotKeys;
    // What the user asked for from the tray or a second start while a macro
    // ran, done once it has ended: opened meanwhile, a window would take the
    // rest of the macro's keys.
    std::vector<std::function<void()>> m_afterRun;
    win32::FolderWatch m_folderWatch;
    TrayIcon m_trayIcon;
    win32::UniqueMenu TrayMenu;
    win32::UniqueGdiObject m_optionsImage;
    win32::UniqueGdiObject m_closeImage;
    win32::UniqueGdiObject m_boldFont;
    HWND m_label = nullptr;
    UINT m_taskbarCreated = 0;
    UINT m_instanceRequest = 0;
    bool ShutdownRequested = false;
    bool OptionsRequested = false;
    // A second start only passes its request on; it leaves everything else alone.
    bool m_secondInstance = false;
    // The process's exit code: 1 when a second start's request went unanswered.
    int m_exitCode = 0;
    // The program ends as soon as the running macro has let go of its keys.
    bool m_exitPending = false;
    bool m_sessionEnded = false;
    // Something in the folder changed since the macro file was last checked.
    bool m_folderChanged = false;
};

}  // namespace velmora
