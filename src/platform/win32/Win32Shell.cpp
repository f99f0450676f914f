#include "platform/win32/Win32Shell.h"

#include <mmsystem.h>
#include <shellapi.h>

#include "platform/win32/Handles.h"

namespace velmora::win32 {

// The results are dropped on purpose, but for EndSession: these commands fail silently.

// A process holds the privilege disabled until it asks. AdjustTokenPrivileges
// succeeds also when it could not grant it, so the last error must be looked at.
bool Win32Shell::EnableShutdownPrivilege()
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        return false;
    }
    const UniqueHandle owned(token);
    TOKEN_PRIVILEGES privileges{.PrivilegeCount = 1};
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
        return false;
    }
    if (!::AdjustTokenPrivileges(owned.Get(), FALSE, &privileges, 0, nullptr, nullptr)) {
        return false;
    }
    return ::GetLastError() != ERROR_NOT_ALL_ASSIGNED;
}

void Win32Shell::StartProgram(const std::string& commandLine)
{
    ::WinExec(commandLine.c_str(), SW_SHOWNORMAL);
}

void Win32Shell::OpenDocument(const std::string& quotedPath)
{
    ::ShellExecuteA(m_mainWindow, "open", quotedPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool Win32Shell::EndSession(std::uint32_t flags)
{
    return ::ExitWindowsEx(flags, 0) != FALSE;
}

void Win32Shell::StartScreenSaver()
{
    ::SendMessageA(m_mainWindow, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}

void Win32Shell::TurnMonitorOff()
{
    ::PostMessageA(m_mainWindow, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
}

void Win32Shell::SendMediaCommand(const std::string& command)
{
    using SendString = MCIERROR WINAPI(LPCSTR, LPSTR, UINT, HWND);
    if (const auto send = m_winmm.Get<SendString>("mciSendStringA")) {
        send(command.c_str(), nullptr, 0, nullptr);
    }
}

}  // namespace velmora::win32
