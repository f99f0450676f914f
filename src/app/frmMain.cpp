#include "app/frmMain.h"

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

    NONCLIENTMETRICSA metrics{.cbSize = sizeof(NONCLIENTMETRICSA)};
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfWeight = FW_BOLD;
    m_boldFont = win32::UniqueGdiObject(::CreateFontIndirectA(&metrics.lfMessageFont));
    m_label = ::CreateWindowExA(0, "STATIC", "Starting Velmora...", WS_CHILD | WS_VISIBLE, win32::ScaleForDpi(8),
                                win32::ScaleForDpi(8), win32::ScaleForDpi(140), win32::ScaleForDpi(20), Handle(),
                                nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(m_label, WM_SETFONT, reinterpret_cast<WPARAM>(m_boldFont.Get()), FALSE);

    m_platform.SetMainWindow(Handle());
    ::PostMessageA(Handle(), WM_STARTUP, 0, 0);
    return true;
}

LRESULT TMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_STARTUP:
        WMStartUp();
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
}

void TMain::FormDestroy()
{
    m_macros.MacroList.clear();
    ::PostQuitMessage(0);
}

}  // namespace velmora
