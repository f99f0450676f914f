#pragma once

#include "platform/Shell.h"
#include "platform/win32/SystemLibrary.h"

namespace velmora::win32 {

class Win32Shell : public IShell {
public:
    // The window that owns started documents and receives the system commands.
    void SetMainWindow(HWND window) { m_mainWindow = window; }

    void StartProgram(const std::string& commandLine) override;
    void OpenDocument(const std::string& quotedPath) override;
    bool EnableShutdownPrivilege() override;
    bool EndSession(std::uint32_t flags) override;
    void StartScreenSaver() override;
    void TurnMonitorOff() override;
    void SendMediaCommand(const std::string& command) override;

private:
    HWND m_mainWindow = nullptr;
    // Not a KnownDLL: loaded from System32 when a macro first needs it.
    SystemLibrary m_winmm{L"winmm.dll"};
};

}  // namespace velmora::win32
