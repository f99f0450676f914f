#include "app/frmMain.h"

#include "app/CommandLine.h"
#include "ui/Resources.h"
#include "ui/WebLinks.h"
#include "app/frmAbout.h"
#include "app/frmFirstTime.h"
#include "app/frmHotKeyErrors.h"
#include "macros/Error.h"
#include "platform/CodePage.h"
#include "platform/win32/Controls.h"
#include "platform/win32/MessageBoxes.h"
#include "platform/win32/ModalWindows.h"
#include "platform/win32/ProgramWindows.h"
#include "options/frmOptions.h"
#include "options/frmPassword.h"
#include "reference/frmQuickReference.h"

namespace velmora {

static_assert(VELMORA_IDI_PROGRAM == win32::kProgramIconId, "every window shows the exe's own icon");

TMain::TMain()
    : m_passwordGate([this] { return TPassword::ShowPasswordPrompt(Handle()); },
                     [this](std::string_view text) { ShowWarning(text); })
{
}

TMain::~TMain() = default;

bool TMain::FormCreate()
{
    // Placed off-screen: the window only ever exists to own the program's state.
    if (!CreateWindowFor({
            .className = kClassName,
            .caption = "Velmora",
            .style = WS_CAPTION | WS_SYSMENU,
            .x = -500,
            .y = 0,
            .width = win32::ScaleForDpi(154),
            .height = win32::ScaleForDpi(57),
        })) {
        return false;
    }

    m_boldFont = win32::CreateMessageFont(/*bold=*/true);
    m_label = win32::CreateControl(Handle(), "STATIC", "Starting Velmora...", 0, 0, {8, 8, 140, 20}, m_boldFont.Get());

    m_platform.SetMainWindow(Handle());
    m_hotKeys.SetWindow(Handle());
    m_keyWatch.SetWindow(Handle(), WM_KEY_WATCH_KEY, WM_KEY_WATCH_CLICK);
    FollowForegroundWithAbbreviations();
    m_macros.MacroListReplaced = [this] { RegisterHotKeys(/*showErrors=*/true); };
    FollowForegroundWithHotKeys();
    m_macros.Now = [this] { return m_platform.Get().clock.Now(); };
    m_runner.OpenOptions = [this] { OpenOptionsWindow(); };
    m_runner.ShowQuickReference = [this] { OpenQuickReference(); };
    m_runner.ReportError = [this](const std::string& text) { win32::ShowErrorBox(Handle(), text); };
    m_runner.ShowNotification = [this](const std::u16string& text) { m_trayIcon.ShowNotice(text); };
    m_dispatcher.ReportFailure = m_runner.ShowNotification;
    // A clipboard another program keeps open is given back from the timer,
    // so the run and the program's windows go on meanwhile.
    HeldClipboard& heldClipboard = m_runner.Player().Held();
    heldClipboard.StartRetryTimer = [this] { ::SetTimer(Handle(), kClipboardTimer, kGiveBackRetryMs, nullptr); };
    heldClipboard.GaveUp = [this] { m_trayIcon.ShowNotice(kClipboardNotGivenBack); };
    m_taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    m_instanceRequest = ::RegisterWindowMessageA(kInstanceRequestName);
    m_trayIcon.Attach(Handle(), kTrayRetryTimer, VELMORA_IDI_PROGRAM);
    BuildTrayMenu();
    // Restored before the start-up message, which reads them.
    m_settingsStore.Restore(m_settings);
    ::PostMessageA(Handle(), WM_STARTUP, 0, 0);
    return true;
}

void TMain::BuildTrayMenu()
{
    const HMENU help = CreateHelpMenu(kHelpMenuFirst, "Contents and Index...");

    TrayMenu = win32::UniqueMenu(::CreatePopupMenu());
    ::AppendMenuA(TrayMenu.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(help), "Help");
    ::AppendMenuA(TrayMenu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(TrayMenu.Get(), MF_STRING, kQuickReferenceCard, "Quick Reference Card");
    ::AppendMenuA(TrayMenu.Get(), MF_STRING, kOptions, "Options");
    ::AppendMenuA(TrayMenu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(TrayMenu.Get(), MF_STRING, kCloseVelmora, "Close Velmora");
    // In bold: what a click on the icon does.
    ::SetMenuDefaultItem(TrayMenu.Get(), kOptions, FALSE);

    // The images' silver background takes the menu's own colour.
    const auto loadImage = [](int id) {
        return win32::UniqueGdiObject(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP,
                                                   0, 0, LR_LOADMAP3DCOLORS));
    };
    m_optionsImage = loadImage(VELMORA_IDB_MENU_OPTIONS);
    m_closeImage = loadImage(VELMORA_IDB_MENU_CLOSE);
    for (const auto& [command, image] : {std::pair{kOptions, m_optionsImage.Get()}, std::pair{kCloseVelmora, m_closeImage.Get()}}) {
        const MENUITEMINFOA item{.cbSize = sizeof(MENUITEMINFOA), .fMask = MIIM_BITMAP,
                                 .hbmpItem = static_cast<HBITMAP>(image)};
        ::SetMenuItemInfoA(TrayMenu.Get(), command, FALSE, &item);
    }
}

LRESULT TMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == m_taskbarCreated && m_taskbarCreated != 0) {
        m_trayIcon.Restore();
        return 0;
    }
    if (message == m_instanceRequest && m_instanceRequest != 0) {
        WMInstanceRequest(wParam);
        return kRequestTaken;
    }
    if (OlderInstanceRequest(message)) {
        return 0;
    }
    switch (message) {
    case WM_STARTUP:
        WMStartUp();
        return 0;
    case WM_SHOW_OPTIONS:
        WMShowOptions();
        return 0;
    case WM_OPTIONS_CLOSED:
        if (m_options && !OptionsOpen()) {
            m_options.reset();
        }
        ShowRefusedHotKeys();
        // A change made while the window was open that it did not save over.
        CheckMacroFile();
        return 0;
    case WM_FOLDER_CHANGED:
        m_folderChanged = true;
        ::SetTimer(Handle(), kMacroFileTimer, 200, nullptr);
        return 0;
    case WM_SHOW_REFUSED_HOT_KEYS:
        ShowRefusedHotKeys();
        return 0;
    case WM_REFERENCE_CLOSED:
        if (m_reference && !QuickReferenceOpen()) {
            m_reference.reset();
        }
        return 0;
    case WM_HOTKEY:
        WMHotKey(wParam);
        return 0;
    case WM_KEY_WATCH_KEY:
        m_keyWatch.WMKeyWatchKey(wParam, lParam);
        return 0;
    case WM_KEY_WATCH_CLICK:
        m_keyWatch.WMKeyWatchClick();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        WMEndSession(wParam != FALSE);
        return 0;
    case WM_CLOSE:
        EndProgram();
        return 0;
    case WM_TIMER:
        if (wParam == kTrayRetryTimer) {
            m_trayIcon.RetryTimer();
            return 0;
        }
        if (wParam == kExitTimer) {
            ExitTimer();
            return 0;
        }
        if (wParam == kMacroFileTimer) {
            MacroFileTimer();
            return 0;
        }
        if (wParam == kClipboardTimer) {
            ClipboardTimer();
            return 0;
        }
        return DefaultHandling(message, wParam, lParam);
    case kTrayMessage:
        TrayIconMessage(wParam, lParam);
        return 0;
    case WM_COMMAND:
        MenuCommandClick(LOWORD(wParam));
        return 0;
    case WM_SETTINGCHANGE:
        // The user may have changed the regional settings: month and day
        // names and separators are read again for the next macro.
        m_runner.Expander().LocaleChanged();
        return DefaultHandling(message, wParam, lParam);
    case WM_DESTROY:
        FormDestroy();
        return 0;
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}

void TMain::WMStartUp()
{
    ::ShowWindow(Handle(), SW_HIDE);
    Mapping = std::make_unique<TShareMapping>(kShareMappingName);

    const CommandLineRequest request = ReadCommandLineRequest(::GetCommandLineA());
    ShutdownRequested = request.shutdown;
    OptionsRequested = request.options;

    if (!Mapping->Created()) {
        m_secondInstance = true;
        PassRequestToRunningInstance();
        ::DestroyWindow(Handle());
        return;
    }
    Mapping->WriteWindow(Handle());
    if (ShutdownRequested) {
        ::DestroyWindow(Handle());
        return;
    }
    // A value an older version wrote without quotes is rewritten with them.
    m_autoStart.QuoteOldValue(win32::ModuleFileName());
    // The program stays reachable without its macros; the options window
    // says why they are missing and does not save over the file.
    try {
        m_macros.LoadMacros();
    } catch (const std::exception& error) {
        win32::ShowErrorBox(Handle(), error.what());
    }
    // Asked for once the box is gone: over it, the request would only bring
    // the box to the front.
    if (OptionsRequested) {
        ::PostMessageA(Handle(), WM_SHOW_OPTIONS, 0, 0);
    }
    RegisterHotKeys(/*showErrors=*/false);
    m_folderWatch.Start(m_platform.Files().ExecutableDirectory(), Handle(), WM_FOLDER_CHANGED);
    m_trayIcon.SetActive(m_settings.ShowInTray);
    if (m_settings.FirstTimeRun) {
        m_settings.FirstTimeRun = false;
        // From the first run on, the program starts at log-on unless the
        // user turns that off in the options.
        m_welcome.Show([this] { m_autoStart.Write(win32::ModuleFileName()); });
    }
}

void TMain::PassRequestToRunningInstance()
{
    // Any start but /shutdown is the user looking for the program, whose
    // icon may be hidden: the running copy shows its options window.
    const WPARAM request = ShutdownRequested ? kRequestShutdown : kRequestShowOptions;
    const HWND running = Mapping->ReadWindow();
    if (running == nullptr) {
        return;
    }
    // The running copy may then take the foreground for the window it opens.
    DWORD runningProcess = 0;
    ::GetWindowThreadProcessId(running, &runningProcess);
    ::AllowSetForegroundWindow(runningProcess);
    // A first copy that hangs (or is stopped in a debugger) must not take
    // every later start, and the installer's /shutdown, down with it.
    DWORD_PTR result = 0;
    bool answered = ::SendMessageTimeoutW(running, m_instanceRequest, request, 0, SMTO_ABORTIFHUNG,
                                          kRequestTimeoutMs, &result) != 0;
    if (answered && static_cast<LRESULT>(result) != kRequestTaken) {
        // An older copy, which knows only its own numbers.
        const UINT older = request == kRequestShutdown ? kOlderShutdownMessage : kOlderShowOptionsMessage;
        answered = ::SendMessageTimeoutW(running, older, 0, 0, SMTO_ABORTIFHUNG, kRequestTimeoutMs, &result) != 0;
    }
    if (answered || !::IsWindow(running)) {
        return;
    }
    m_exitCode = 1;
    // /shutdown comes from the installer, which waits for the first copy's
    // end and says so itself; a box here would stall a silent install.
    if (!ShutdownRequested) {
        win32::ShowErrorBox(Handle(), "Velmora is already running but does not respond.");
    }
}

void TMain::WMInstanceRequest(WPARAM request)
{
    // Answered before it is carried out: the second start waits only a few
    // seconds and then reports a hang, and a password prompt, or a macro
    // still letting go of its keys, may well take longer.
    ::ReplyMessage(kRequestTaken);
    if (request == kRequestShutdown) {
        WMShutdown();
    } else if (request == kRequestShowOptions) {
        WMShowOptions();
    }
}

bool TMain::OlderInstanceRequest(UINT message)
{
    if (message != kOlderShutdownMessage && message != kOlderShowOptionsMessage) {
        return false;
    }
    // Only a message sent from another thread: here the numbers also belong
    // to the dialog manager (DM_REPOSITION).
    if ((::InSendMessageEx(nullptr) & ISMEX_SEND) == 0) {
        return false;
    }
    WMInstanceRequest(message == kOlderShutdownMessage ? kRequestShutdown : kRequestShowOptions);
    return true;
}

void TMain::WMShutdown()
{
    EndProgram();
}

void TMain::WMHotKey(WPARAM id)
{
    const bool dropped = m_dispatcher.MacroRunning();
    m_dispatcher.WMHotKey(static_cast<std::int32_t>(id));
    // A hot key dropped during the run returns here too, with the run still below.
    if (dropped) {
        return;
    }
    AfterRun();
}

void TMain::AfterRun()
{
    // The run has unwound: its keys are up and the clipboard is back.
    if (m_exitPending && ReadyToExit()) {
        ::KillTimer(Handle(), kExitTimer);
        ::DestroyWindow(Handle());
        return;
    }
    for (auto& action : std::exchange(m_afterRun, {})) {
        if (!m_exitPending) {
            action();
        }
    }
}

void TMain::WhenNoMacroRuns(std::function<void()> action)
{
    if (m_dispatcher.MacroRunning()) {
        m_afterRun.push_back(std::move(action));
    } else {
        action();
    }
}

bool TMain::ReadyToExit() const
{
    return !m_dispatcher.MacroRunning() && win32::ModalDepth() == 0;
}

void TMain::EndProgram()
{
    // The requests to close arrive while playback lets messages through, or
    // while a modal window runs its loop, with their code still on the stack
    // below. The run is stopped and the modal windows are cancelled; the
    // window goes once they have all returned, so that none of them touches
    // a destroyed window.
    const bool running = m_dispatcher.StopRunningMacro();
    if (!running && win32::ModalDepth() == 0) {
        ::DestroyWindow(Handle());
        return;
    }
    m_exitPending = true;
    win32::EndModalWindows(/*force=*/false);
    ::SetTimer(Handle(), kExitTimer, 50, nullptr);
}

void TMain::ExitTimer()
{
    if (!ReadyToExit()) {
        // What ignored the cancel (a Yes/No box) is ended outright.
        win32::EndModalWindows(/*force=*/true);
        return;
    }
    ::KillTimer(Handle(), kExitTimer);
    ::DestroyWindow(Handle());
}

void TMain::ClipboardTimer()
{
    if (!m_runner.Player().Held().RetryGiveBack()) {
        ::KillTimer(Handle(), kClipboardTimer);
    }
}

void TMain::WMEndSession(bool ending)
{
    // Windows may end the process as soon as this returns, so what the exit
    // would do is done here and now.
    if (!ending || m_sessionEnded || m_secondInstance) {
        return;
    }
    m_sessionEnded = true;
    if (!m_settingsStore.SavedSinceRestore()) {
        SaveSettings();
    }
    UnregisterHotKeys();
    m_trayIcon.SetActive(false);
    EndProgram();
}

void TMain::MacroFileTimer()
{
    ::KillTimer(Handle(), kMacroFileTimer);
    CheckMacroFile();
}

void TMain::CheckMacroFile()
{
    if (!m_folderChanged) {
        return;
    }
    // A run works on the macros in force until it ends.
    WhenNoMacroRuns([this] {
        if (OptionsOpen() || m_exitPending || !m_folderChanged) {
            return;
        }
        m_folderChanged = false;
        const TMacroList previous = m_macros.MacroList;
        const FileCheck check = m_macros.ReloadIfChanged();
        if (check.result == FileCheck::Reloaded) {
            m_registrar.UnregisterHotKeys(previous);
            RegisterHotKeys(/*showErrors=*/false);
        } else if (check.result == FileCheck::Unreadable) {
            m_trayIcon.ShowNotice(
                Utf16FromAnsi(FormatText(kChangedFileUnreadable, check.error), m_platform.Get().codePage));
        }
    });
}

void TMain::WMShowOptions()
{
    WhenNoMacroRuns([this] { OpenOptionsWindow(); });
}

bool TMain::OptionsOpen() const
{
    return m_options && m_options->Handle() != nullptr;
}

void TMain::OpenOptionsWindow()
{
    // On its way out, the program opens nothing new.
    if (m_exitPending || ModalWindowTakesRequest()) {
        return;
    }
    // A file that could not be read is tried again: it holds the password
    // that guards this window. A failure shows in the window itself.
    if (!OptionsOpen() && !m_macros.Loaded() && !m_passwordGate.PasswordShowing()) {
        UnregisterHotKeys();
        try {
            m_macros.RetryLoad();
        } catch (const std::exception&) {
        }
        RegisterHotKeys(/*showErrors=*/false);
    }
    if (!m_passwordGate.CheckOptionsPassword(m_macros.OptionsPassword)) {
        return;
    }
    CloseWelcomeWindow();
    if (OptionsOpen()) {
        m_options->BringToFront();
        return;
    }
    m_options.reset();
    UnregisterHotKeys();
    auto window = std::make_unique<TOptions>(OptionsWindowHost{
        .store = m_macros,
        .settings = m_settings,
        .autoStart = m_autoStart,
        .exePath = win32::ModuleFileName(),
        .showTrayIcon = [this](bool shown) { m_trayIcon.SetActive(shown); },
        .closed = [this] { ::PostMessageA(Handle(), WM_OPTIONS_CLOSED, 0, 0); },
        .showAbout = [this] { ShowAboutBox(m_options ? m_options->Handle() : Handle()); },
    });
    bool created = false;
    try {
        created = window->FormCreate();
    } catch (...) {
        RegisterHotKeys(/*showErrors=*/false);
        throw;
    }
    if (!created) {
        RegisterHotKeys(/*showErrors=*/false);
        throw std::runtime_error("The options window could not be created.");
    }
    m_options = std::move(window);
    m_options->ShowOnTop();
}

void TMain::ShowWarning(std::string_view text)
{
    win32::ShowMessageBox(Handle(), std::string(text), "Warning", MB_OK | MB_ICONWARNING);
}

bool TMain::QuickReferenceOpen() const
{
    return m_reference && m_reference->Handle() != nullptr;
}

bool TMain::ModalWindowTakesRequest()
{
    if (win32::ModalDepth() == 0) {
        return false;
    }
    // The modal window's owner leads to it: the options window for its own
    // questions, this window for the password prompt and the others.
    win32::BringWindowToFront(OptionsOpen() ? m_options->Handle() : Handle());
    return true;
}

void TMain::OpenQuickReference()
{
    if (m_exitPending || ModalWindowTakesRequest()) {
        return;
    }
    // An open card comes to the front as it is; the list is not read again.
    if (QuickReferenceOpen()) {
        m_reference->BringToFront();
        return;
    }
    m_reference.reset();
    auto card = std::make_unique<TQuickReference>(
        QuickReferenceHost{
            .settings = m_settings,
            .codePage = m_platform.Get().codePage,
            .closed = [this] { ::PostMessageA(Handle(), WM_REFERENCE_CLOSED, 0, 0); },
        },
        m_macros.MacroList);
    if (!card->FormCreate()) {
        throw std::runtime_error("The quick reference card could not be created.");
    }
    m_reference = std::move(card);
}

void TMain::TrayIconClick()
{
    OpenOptionsWindow();
}

void TMain::TrayIconMessage(WPARAM wParam, LPARAM lParam)
{
    const TrayEvent event = m_trayIcon.ReadEvent(wParam, lParam);
    switch (event.kind) {
    case TrayEvent::Open:
        WhenNoMacroRuns([this] { TrayIconClick(); });
        break;
    case TrayEvent::NoticeEnded:
        m_trayIcon.NoticeEnded();
        break;
    case TrayEvent::Menu:
        // At once, also in the middle of a macro (which waits below until
        // the menu closes): "Close Velmora" must be able to stop it.
        ShowTrayMenu(event.anchor);
        break;
    case TrayEvent::None:
        break;
    }
}

void TMain::ShowTrayMenu(POINT anchor)
{
    // The foreground dance makes the menu close when the user clicks elsewhere.
    ::SetForegroundWindow(Handle());
    // The command is carried out here rather than posted, so that it comes
    // before anything else the user does meanwhile.
    UINT command = 0;
    bool escaped = false;
    {
        const win32::ModalScope menu(Handle());
        command = static_cast<UINT>(::TrackPopupMenu(TrayMenu.Get(), TPM_RIGHTBUTTON | TPM_RETURNCMD, anchor.x,
                                                     anchor.y, 0, Handle(), nullptr));
        // The menu ends on the key's press; its release is still to come.
        escaped = command == 0 && ::GetKeyState(VK_ESCAPE) < 0;
    }
    ::PostMessageA(Handle(), WM_NULL, 0, 0);
    if (escaped) {
        // Back where the user was, so the arrows go on along the icons.
        m_trayIcon.TakeFocus();
    }
    if (command == kCloseVelmora) {
        CloseVelmoraClick();
    } else if (command != 0) {
        // Windows open once a macro in progress has finished.
        WhenNoMacroRuns([this, command] { MenuCommandClick(command); });
    }
}

void TMain::MenuCommandClick(UINT command)
{
    const auto showAbout = [this] {
        if (!ModalWindowTakesRequest()) {
            ShowAboutBox(Handle());
        }
    };
    if (RunHelpCommand(Handle(), command, kHelpMenuFirst, showAbout)) {
        return;
    }
    switch (command) {
    case kQuickReferenceCard: OpenQuickReference(); break;
    case kOptions: OpenOptionsWindow(); break;
    case kCloseVelmora: CloseVelmoraClick(); break;
    default: break;
    }
}

void TMain::CloseVelmoraClick()
{
    SaveSettings();
    EndProgram();
}

void TMain::SaveSettings()
{
    m_settingsStore.Save(m_settings);
}

void TMain::RegisterHotKeys(bool showErrors)
{
    FollowAbbreviations();
    std::vector<std::string> errors = m_registrar.RegisterHotKeys(m_macros.MacroList);
    if (showErrors && !errors.empty()) {
        // Asked for while the options window closes: it is shown from the
        // queue, after the close has finished and the window is gone.
        m_refusedHotKeys = std::move(errors);
        ::PostMessageA(Handle(), WM_SHOW_REFUSED_HOT_KEYS, 0, 0);
    }
}

void TMain::ShowRefusedHotKeys()
{
    if (m_refusedHotKeys.empty() || OptionsOpen() || m_exitPending) {
        return;
    }
    const std::vector<std::string> lines = std::exchange(m_refusedHotKeys, {});
    THotKeyErrors::ShowHotKeyErrors(Handle(), lines, m_platform.Get().codePage);
}

void TMain::UnregisterHotKeys()
{
    m_registrar.UnregisterHotKeys(m_macros.MacroList);
}

void TMain::FollowForegroundWithHotKeys()
{
    m_foregroundWatch.Changed = [this, earlier = std::move(m_foregroundWatch.Changed)] {
        if (earlier) {
            earlier();
        }
        m_registrar.ForegroundChanged();
    };
}

void TMain::FollowForegroundWithAbbreviations()
{
    m_abbreviations.Attach();
    m_abbreviations.Paused() = [this] { return OptionsOpen() || m_dispatcher.MacroRunning(); };
    m_abbreviations.RunEnded = [this] { AfterRun(); };
}

void TMain::FollowAbbreviations()
{
    m_abbreviations.Follow(m_macros.MacroList);
}

void TMain::FormDestroy()
{
    // A second start read the settings but must not write them back over
    // whatever the running instance saves.
    if (!m_secondInstance) {
        if (!m_settingsStore.SavedSinceRestore()) {
            SaveSettings();
        }
        UnregisterHotKeys();
    }
    // Edits of a window still open at exit are not saved.
    ::KillTimer(Handle(), kExitTimer);
    ::KillTimer(Handle(), kMacroFileTimer);
    m_folderWatch.Stop();
    m_abbreviations.StopWatching();
    ::KillTimer(Handle(), kClipboardTimer);
    m_options.reset();
    m_reference.reset();
    CloseWelcomeWindow();
    m_trayIcon.SetActive(false);
    m_macros.MacroList.clear();
    Mapping.reset();
    ::PostQuitMessage(m_exitCode);
}

}  // namespace velmora
