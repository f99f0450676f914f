#pragma once

// The icon in the notification area. Its clicks arrive at the owner window as
// kTrayMessage with the mouse message in lParam.

#include "platform/win32/Win32.h"

namespace velmora {

inline constexpr UINT kTrayMessage = WM_APP + 1;

class TrayIcon {
public:
    TrayIcon() = default;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon() { SetActive(false); }

    void Attach(HWND owner, HICON icon)
    {
        m_owner = owner;
        m_icon = icon;
    }
    // Adds or removes the icon. Adding retries briefly, since the task bar
    // may not be ready yet when the program starts at log-on.
    void SetActive(bool active);
    bool Active() const { return m_active; }
    // After Explorer restarts (TaskbarCreated), the icon must be added again.
    void Restore();

private:
    bool Add();

    HWND m_owner = nullptr;
    HICON m_icon = nullptr;
    bool m_active = false;
};

}  // namespace velmora
