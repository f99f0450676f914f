#pragma once

#include "platform/HotKeys.h"
#include "platform/win32/Win32.h"

namespace velmora::win32 {

// Hot keys go to the main window, not the thread: thread messages are lost
// inside modal loops such as menus and message boxes.
class Win32HotKeys : public IHotKeys {
public:
    void SetWindow(HWND window) { m_window = window; }

    bool Register(std::int32_t id, std::uint32_t modifiers, std::uint32_t virtualKey) override
    {
        if (::RegisterHotKey(m_window, id, modifiers, virtualKey)) {
            return true;
        }
        // Windows before 7 refuses the no-repeat flag; a combination that
        // is taken stays refused.
        return (modifiers & MOD_NOREPEAT) != 0 && ::GetLastError() != ERROR_HOTKEY_ALREADY_REGISTERED &&
               ::RegisterHotKey(m_window, id, modifiers & ~static_cast<UINT>(MOD_NOREPEAT), virtualKey);
    }
    void Unregister(std::int32_t id) override { ::UnregisterHotKey(m_window, id); }
    void DiscardQueued() override
    {
        MSG message{};
        while (::PeekMessageA(&message, m_window, WM_HOTKEY, WM_HOTKEY, PM_REMOVE | PM_NOYIELD)) {
        }
    }

private:
    HWND m_window = nullptr;
};

}  // namespace velmora::win32
