#include "platform/win32/Win32Shell.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/win32/Handles.h"

namespace velmora::win32 {

namespace {

// A launch macro's text is in the code page, as the data file holds it;
// the system decodes it whole, double-byte characters included.
std::wstring WideFromCodePage(std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

}  // namespace

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

// What WinExec does, with the wide call: it waits, as WinExec does, until
// the program is ready for input or half a minute has passed.
void Win32Shell::StartProgram(const std::string& commandLine)
{
    std::wstring wide = WideFromCodePage(commandLine);
    STARTUPINFOW startup{.cb = sizeof(STARTUPINFOW), .dwFlags = STARTF_USESHOWWINDOW, .wShowWindow = SW_SHOWNORMAL};
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        return;
    }
    const UniqueHandle thread(started.hThread);
    const UniqueHandle process(started.hProcess);
    ::WaitForInputIdle(process.Get(), 30000);
}

void Win32Shell::OpenDocument(const std::string& quotedPath)
{
    ::ShellExecuteW(m_mainWindow, L"open", WideFromCodePage(quotedPath).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
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
