#pragma once

// The program's message boxes, each a modal window of the program.

#include <string>

#include "platform/win32/Win32.h"

namespace velmora::win32 {

// MessageBoxA as a modal window of the program.
int ShowMessageBox(HWND owner, const std::string& text, const char* caption, UINT flags);
// The same for a Unicode text (MessageBoxW).
int ShowMessageBox(HWND owner, const std::u16string& text, const char* caption, UINT flags);

// Shows the program's standard error box.
void ShowErrorBox(HWND owner, const std::string& text);

}  // namespace velmora::win32
