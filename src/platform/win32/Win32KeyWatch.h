#pragma once

// The key watch on Windows: low-level keyboard and mouse hooks.

#include <atomic>
#include <thread>

#include "platform/KeyWatch.h"
#include "platform/win32/Win32.h"

namespace velmora::win32 {

// The hooks live on a thread of their own that does nothing but pump its
// messages and post what they see to the window: Windows waits for a
// low-level hook before the key goes on, and drops a hook that keeps it
// waiting, so the callback must return at once even while the window's
// thread runs a macro. The window's thread then turns the posted key into
// what it types (WMKeyWatch) and tells the listeners.
class Win32KeyWatch final : public IKeyWatch {
public:
    Win32KeyWatch();
    Win32KeyWatch(const Win32KeyWatch&) = delete;
    Win32KeyWatch& operator=(const Win32KeyWatch&) = delete;
    ~Win32KeyWatch() override;

    // Where the hooks post a key and a click; set before Start.
    void SetWindow(HWND window, UINT keyMessage, UINT clickMessage);

    bool Start() override;
    void Stop() override;
    bool Watching() const override { return m_thread.joinable(); }
    void SetMacroRunning(bool running) override { m_macroRunning = running; }

    // The window's handlers of the two messages.
    void WMKeyWatchKey(WPARAM wParam, LPARAM lParam);
    void WMKeyWatchClick();

private:
    // Fills the key's text the way the foreground window's thread will
    // translate it, without disturbing a dead key waiting there.
    void Translate(WatchedKey& key, std::uint16_t scanCode, LPARAM held);

    HWND m_window = nullptr;
    UINT m_keyMessage = 0;
    UINT m_clickMessage = 0;
    std::atomic<bool> m_macroRunning{false};
    std::thread m_thread;
    DWORD m_threadId = 0;
    // ToUnicodeEx takes flag 4 (leave the keyboard state alone): Windows 10 1607 on.
    bool m_keepsKeyboardState = false;
    // The last key was a dead key: the next one's character is the
    // program's to make.
    bool m_afterDeadKey = false;
};

}  // namespace velmora::win32
