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
        return ::RegisterHotKey(m_window, id, modifiers, virtualKey) != FALSE;
    }
    void Unregister(std::int32_t id) override { ::UnregisterHotKey(m_window, id); }

private:
    HWND m_window = nullptr;
};

}  // namespace velmora::win32
