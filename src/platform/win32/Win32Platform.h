#pragma once

// The real system services, one of each, bundled for the portable core.
// Made and used on the user-interface thread (the clipboard's window lives there).

#include "platform/Platform.h"
#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32CodePage.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Keyboard.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Thread.h"

namespace velmora::win32 {

class Win32Platform {
public:
    // An empty directory means the folder of the running program.
    explicit Win32Platform(std::string directory = {}) : m_files(std::move(directory)) {}
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform Get();
    IFileSystem& Files() { return m_files; }
    void SetMainWindow(HWND window) { m_shell.SetMainWindow(window); }

private:
    Win32Keyboard m_keyboard;
    Win32Clipboard m_clipboard;
    Win32Thread m_thread;
    Win32Clock m_clock;
    Win32Locale m_locale;
    Win32Shell m_shell;
    Win32FileSystem m_files;
    Win32CodePage m_codePage;
};

}  // namespace velmora::win32
