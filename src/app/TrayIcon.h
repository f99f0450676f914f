#pragma once

// The icon in the notification area. What the user does with it arrives at
// the owner window as kTrayMessage, which ReadEvent reads.

#include <functional>
#include <string_view>

#include "platform/win32/Handles.h"

#include <shellapi.h>

namespace velmora {

inline constexpr UINT kTrayMessage = WM_APP + 1;

// What a kTrayMessage asks of the program.
struct TrayEvent {
    enum Kind { None, Open, Menu, NoticeEnded };
    Kind kind = None;
    // Where the menu opens, in screen pixels: the icon's place when the
    // keyboard asked for it.
    POINT anchor{};
};

class TrayIcon {
public:
    // Shell_NotifyIconW; tests put a stand-in in its place.
    using NotifyFunction = std::function<bool(DWORD command, NOTIFYICONDATAW& data)>;

    TrayIcon();
    explicit TrayIcon(NotifyFunction notify) : m_notify(std::move(notify)) {}
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon()
    {
        if (m_active || m_shown) {
            Remove();
        }
    }

    // The owner gets the clicks, and the timer retryTimer for adding again;
    // the icon is the program's icon resource iconId.
    void Attach(HWND owner, UINT_PTR retryTimer, int iconId);
    // Adds or removes the icon. When the task bar is not ready yet (a start
    // at log-on), adding is retried from the owner's timer.
    void SetActive(bool active);
    bool Active() const { return m_active; }
    // True when the icon stands in the notification area now.
    bool Shown() const { return m_shown; }
    // After Explorer restarts or the screen's DPI changes (TaskbarCreated),
    // the icon must be added again, perhaps at another size.
    void Restore();
    // The owner's WM_TIMER for retryTimer.
    void RetryTimer();
    // A notification beside the icon. A hidden icon stands in the
    // notification area for as long as the notification shows.
    void ShowNotice(std::u16string_view text);
    // The owner's kTrayMessage with NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT or
    // NIN_BALLOONUSERCLICK: the notification has gone.
    void NoticeEnded();
    // Reads the owner's kTrayMessage. A task bar that took version 4 sends
    // the event in LOWORD(lParam) and the anchor in wParam: a click or the
    // Enter and Space keys open, the right button or the menu key asks for
    // the menu. An older one sends the mouse message alone.
    TrayEvent ReadEvent(WPARAM wParam, LPARAM lParam) const;
    // Gives the keyboard focus back to the icon, as after its menu closed
    // with Esc.
    void TakeFocus();

private:
    bool Show();
    void Remove();
    void LoadIconForDpi();
    void StartRetrying();
    void StopRetrying();

    NotifyFunction m_notify;
    HWND m_owner = nullptr;
    UINT_PTR m_retryTimer = 0;
    int m_iconId = 0;
    win32::UniqueIcon m_icon;
    bool m_active = false;
    bool m_shown = false;
    // Shown only for a notification, while the user wants no icon.
    bool m_shownForNotice = false;
    int m_retriesLeft = 0;
};

// The small icon's size on the monitor of the task bar (or of the window).
SIZE SmallIconSize(HWND window);

}  // namespace velmora
