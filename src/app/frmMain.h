#pragma once

// The hidden main window: it owns the macros, and later receives the hot keys
// and the messages of a second instance.

#include "app/HotKeys.h"
#include "engine/MacroRunner.h"
#include "macros/MacroFile.h"
#include "platform/win32/Win32HotKeys.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Window.h"

namespace velmora {

inline constexpr UINT WM_STARTUP = WM_USER + 1;

class TMain : public win32::Window<TMain> {
public:
    static constexpr const char* kClassName = "TMain";

    TMain();
    ~TMain();

    // Creates the window off-screen and queues the start-up.
    bool FormCreate();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    MacroStore& Macros() { return m_macros; }
    MacroRunner& Runner() { return m_runner; }

    // Registers the hot key of every macro; the refused ones are listed to
    // the user only when showErrors is set.
    void RegisterHotKeys(bool showErrors);
    void UnregisterHotKeys();

private:
    void WMStartUp();
    void FormDestroy();

    win32::Win32Platform m_platform;
    MacroStore m_macros{m_platform.Files()};
    RandomGenerator m_random;
    MacroRunner m_runner{m_platform.Get(), m_macros.MacroList, m_random};
    win32::Win32HotKeys m_hotKeys;
    HotKeyRegistrar m_registrar{m_hotKeys, m_platform.Get().keyboard};
    HotKeyDispatcher m_dispatcher{m_runner, m_macros.MacroList};
    win32::UniqueGdiObject m_boldFont;
    HWND m_label = nullptr;
};

}  // namespace velmora
