#pragma once

// Starting programs and documents, and the system's session and device
// commands. Results are not reported, except that of ending the session:
// the user asked to log off or shut down and must learn that it did not happen.

#include <cstdint>
#include <string>

namespace velmora {

inline constexpr std::uint32_t kEndSessionLogOff = 0;    // EWX_LOGOFF
inline constexpr std::uint32_t kEndSessionShutDown = 1;  // EWX_SHUTDOWN
inline constexpr std::uint32_t kEndSessionRestart = 2;   // EWX_REBOOT

class IShell {
public:
    virtual ~IShell() = default;
    // The command line and the document are a launch macro's text, in the
    // code page as the data file holds it.
    // As WinExec with SW_SHOWNORMAL, through CreateProcessW.
    virtual void StartProgram(const std::string& commandLine) = 0;
    // ShellExecuteW "open", owned by the main window, no parameters, SW_SHOWNORMAL.
    virtual void OpenDocument(const std::string& quotedPath) = 0;
    // Enables SeShutdownPrivilege in the process's token; false when the
    // account does not hold it. Restart and shut-down need it, log-off does not.
    virtual bool EnableShutdownPrivilege() = 0;
    // ExitWindowsEx(flags, 0); false when it fails. Success only means the
    // request was taken: the system ends the session later, and may still be
    // refused by a program.
    virtual bool EndSession(std::uint32_t flags) = 0;
    // WM_SYSCOMMAND SC_SCREENSAVE sent to the main window.
    virtual void StartScreenSaver() = 0;
    // WM_SYSCOMMAND SC_MONITORPOWER 2 posted to the application window.
    virtual void TurnMonitorOff() = 0;
    // mciSendStringA with no return buffer and no callback window; nothing
    // when winmm.dll cannot be loaded.
    virtual void SendMediaCommand(const std::string& command) = 0;
};

}  // namespace velmora
