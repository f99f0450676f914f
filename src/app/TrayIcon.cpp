#include "app/TrayIcon.h"

#include "platform/win32/Dpi.h"
#include "platform/win32/ProgramIcon.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace velmora {

namespace {
constexpr UINT kIconId = 1;
// At log-on the task bar may come up well after the program.
constexpr UINT kRetryIntervalMs = 500;
constexpr int kRetries = 60;
}  // namespace

SIZE SmallIconSize(HWND window)
{
    const HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
    const UINT dpi = win32::WindowDpi(taskbar != nullptr ? taskbar : window);
    return {win32::SystemMetricForDpi(SM_CXSMICON, dpi), win32::SystemMetricForDpi(SM_CYSMICON, dpi)};
}

TrayIcon::TrayIcon()
    : m_notify([](DWORD command, NOTIFYICONDATAW& data) { return ::Shell_NotifyIconW(command, &data) != FALSE; })
{
}

void TrayIcon::Attach(HWND owner, UINT_PTR retryTimer, int iconId)
{
    m_owner = owner;
    m_retryTimer = retryTimer;
    m_iconId = iconId;
    LoadIconForDpi();
}

void TrayIcon::LoadIconForDpi()
{
    // The small image drawn for this size, not the large one shrunk.
    m_icon = win32::LoadProgramIcon(m_iconId, SmallIconSize(m_owner));
}

bool TrayIcon::Show()
{
    NOTIFYICONDATAW data{
        .cbSize = sizeof(NOTIFYICONDATAW),
        .hWnd = m_owner,
        .uID = kIconId,
        .uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP,
        .uCallbackMessage = kTrayMessage,
        .hIcon = m_icon.Get(),
    };
    std::wcsncpy(data.szTip, L"Velmora", std::size(data.szTip) - 1);
    // Adding fails also when the icon is still there (a restarted task bar
    // that kept it); it is then brought up to date instead.
    m_shown = m_notify(NIM_ADD, data) || m_notify(NIM_MODIFY, data);
    if (m_shown) {
        // Asked again after every add: a new task bar knows nothing of it.
        data.uVersion = NOTIFYICON_VERSION_4;
        m_notify(NIM_SETVERSION, data);
    }
    return m_shown;
}

TrayEvent TrayIcon::ReadEvent(WPARAM wParam, LPARAM lParam) const
{
    // Each message says its own layout: version 4 puts the icon's id beside
    // the event, the old one nothing. A click just after the icon was added
    // comes in the old layout even from a task bar that then took version 4.
    const bool version4 = HIWORD(lParam) == kIconId;
    const UINT event = version4 ? LOWORD(lParam) : static_cast<UINT>(lParam);
    switch (event) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
        return {TrayEvent::Open};
    case WM_CONTEXTMENU:
        return {TrayEvent::Menu, {GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)}};
    case NIN_BALLOONHIDE:
    case NIN_BALLOONTIMEOUT:
    case NIN_BALLOONUSERCLICK:
        return {TrayEvent::NoticeEnded};
    default:
        break;
    }
    if (version4) {
        return {};
    }
    if (event == WM_LBUTTONUP) {
        return {TrayEvent::Open};
    }
    // On release of the button, as Windows itself opens menus.
    if (event == WM_RBUTTONUP) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        return {TrayEvent::Menu, cursor};
    }
    return {};
}

void TrayIcon::TakeFocus()
{
    if (!m_shown) {
        return;
    }
    NOTIFYICONDATAW data{.cbSize = sizeof(NOTIFYICONDATAW), .hWnd = m_owner, .uID = kIconId};
    m_notify(NIM_SETFOCUS, data);
}

void TrayIcon::SetActive(bool active)
{
    if (active == m_active || m_owner == nullptr) {
        return;
    }
    m_active = active;
    if (active) {
        m_shownForNotice = false;
        if (!m_shown && !Show()) {
            StartRetrying();
        }
        return;
    }
    Remove();
}

void TrayIcon::Remove()
{
    StopRetrying();
    if (m_owner == nullptr) {
        return;
    }
    NOTIFYICONDATAW data{.cbSize = sizeof(NOTIFYICONDATAW), .hWnd = m_owner, .uID = kIconId};
    m_notify(NIM_DELETE, data);
    m_shown = false;
    m_shownForNotice = false;
}

void TrayIcon::ShowNotice(std::u16string_view text)
{
    if (m_owner == nullptr) {
        return;
    }
    if (!m_shown) {
        if (!Show()) {
            return;
        }
        m_shownForNotice = !m_active;
    }
    NOTIFYICONDATAW data{
        .cbSize = sizeof(NOTIFYICONDATAW),
        .hWnd = m_owner,
        .uID = kIconId,
        .uFlags = NIF_INFO,
        .dwInfoFlags = NIIF_INFO,
    };
    const std::size_t length = std::min(text.size(), std::size(data.szInfo) - 1);
    std::copy_n(text.begin(), length, data.szInfo);
    std::wcsncpy(data.szInfoTitle, L"Velmora", std::size(data.szInfoTitle) - 1);
    m_notify(NIM_MODIFY, data);
}

void TrayIcon::NoticeEnded()
{
    if (m_shownForNotice && !m_active) {
        Remove();
    }
}

void TrayIcon::StartRetrying()
{
    // From the owner's timer: sleeping here would freeze the program's
    // window, and with it the hot keys, while the task bar comes up.
    m_retriesLeft = kRetries;
    ::SetTimer(m_owner, m_retryTimer, kRetryIntervalMs, nullptr);
}

void TrayIcon::RetryTimer()
{
    if (m_retriesLeft == 0) {
        return;
    }
    if (Show() || m_retriesLeft == 1) {
        StopRetrying();
    } else {
        --m_retriesLeft;
    }
}

void TrayIcon::StopRetrying()
{
    if (m_retriesLeft > 0) {
        ::KillTimer(m_owner, m_retryTimer);
    }
    m_retriesLeft = 0;
}

void TrayIcon::Restore()
{
    if (!m_active) {
        return;
    }
    LoadIconForDpi();
    if (!Show() && m_retriesLeft == 0) {
        StartRetrying();
    }
}

}  // namespace velmora
