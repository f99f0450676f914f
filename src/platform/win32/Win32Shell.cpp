#include "platform/win32/Win32Shell.h"

#include <mmsystem.h>
#include <shellapi.h>

namespace velmora::win32 {

// The results are dropped on purpose: these commands fail silently.

void Win32Shell::StartProgram(const std::string& commandLine)
{
    ::WinExec(commandLine.c_str(), SW_SHOWNORMAL);
}

void Win32Shell::OpenDocument(const std::string& quotedPath)
{
    ::ShellExecuteA(m_mainWindow, "open", quotedPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Shell::EndSession(std::uint32_t flags)
{
    ::ExitWindowsEx(flags, 0);
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
    ::mciSendStringA(command.c_str(), nullptr, 0, nullptr);
}

}  // namespace velmora::win32
