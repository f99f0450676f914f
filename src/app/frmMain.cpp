#include "app/frmMain.h"

#include "app/frmHotKeyErrors.h"

namespace velmora {

TMain::TMain() = default;

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
    m_macros.MacroListReplaced = [this] { RegisterHotKeys(/*showErrors=*/true); };
    ::PostMessageA(Handle(), WM_STARTUP, 0, 0);
    return true;
}

LRESULT TMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_STARTUP:
        WMStartUp();
        return 0;
    case WM_HOTKEY:
        m_dispatcher.WMHotKey(static_cast<std::int32_t>(wParam));
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
    m_macros.LoadMacros();
    RegisterHotKeys(/*showErrors=*/false);
}

void TMain::RegisterHotKeys(bool showErrors)
{
    const std::vector<std::string> errors = m_registrar.RegisterHotKeys(m_macros.MacroList);
    if (showErrors && !errors.empty()) {
        THotKeyErrors::ShowHotKeyErrors(Handle(), errors);
    }
}

void TMain::UnregisterHotKeys()
{
    m_registrar.UnregisterHotKeys(m_macros.MacroList);
}

void TMain::FormDestroy()
{
    UnregisterHotKeys();
    m_macros.MacroList.clear();
    ::PostQuitMessage(0);
}

}  // namespace velmora
