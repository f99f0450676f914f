#include "app/frmMain.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32.h"
#include "platform/win32/ProgramWindows.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything loads a DLL by name: none is taken from the program's
    // own folder or the current one.
    velmora::win32::RestrictDllSearchToSystem32();

    const INITCOMMONCONTROLSEX controls{.dwSize = sizeof(INITCOMMONCONTROLSEX), .dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    velmora::TMain main;
    if (!main.FormCreate()) {
        return 1;
    }
    MSG message{};
    // Wide, so that a character typed into a Unicode control (the keystroke
    // text) reaches it whole; the ANSI windows get their messages converted.
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!velmora::win32::IsDialogMessageOfProgram(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
