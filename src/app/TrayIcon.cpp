#include "app/TrayIcon.h"

#include <shellapi.h>

#include <cstring>

namespace velmora {

namespace {
constexpr UINT kIconId = 1;
constexpr int kAddAttempts = 20;
constexpr DWORD kAddRetryMs = 250;
}  // namespace

bool TrayIcon::Add()
{
    NOTIFYICONDATAA data{
        .cbSize = sizeof(NOTIFYICONDATAA),
        .hWnd = m_owner,
        .uID = kIconId,
        .uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP,
        .uCallbackMessage = kTrayMessage,
        .hIcon = m_icon,
    };
    std::strncpy(data.szTip, "Velmora", sizeof data.szTip - 1);
    return ::Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

void TrayIcon::SetActive(bool active)
{
    if (active == m_active || m_owner == nullptr) {
        return;
    }
    if (active) {
        for (int attempt = 1; !Add() && attempt < kAddAttempts; ++attempt) {
            ::Sleep(kAddRetryMs);
        }
    } else {
        NOTIFYICONDATAA data{.cbSize = sizeof(NOTIFYICONDATAA), .hWnd = m_owner, .uID = kIconId};
        ::Shell_NotifyIconA(NIM_DELETE, &data);
    }
    m_active = active;
}

void TrayIcon::Restore()
{
    if (m_active) {
        Add();
    }
}

}  // namespace velmora
