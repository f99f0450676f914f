#pragma once

// The program's own top-level windows: finding them, bringing them forward,
// and which of them the main loop gives dialog navigation to.

#include <functional>

#include "platform/win32/Win32.h"

namespace velmora::win32 {

// On a modal window that already had a cancel request and is still up.
inline constexpr const char* kCancelAskedProperty = "Velmora.CancelAsked";

enum class WindowRole { Modeless, Modal };

// Records what the window is, for the main loop and for the teardown.
void MarkWindow(HWND window, WindowRole role);
void UnmarkWindow(HWND window);
// A window of the program run modally, or a system dialog (message box, file dialog).
bool IsModalWindow(HWND window);

// Every top-level window of this thread that still exists when its turn comes.
void ForEachProgramWindow(const std::function<void(HWND)>& visit);

// The program's open window of that class, or nullptr.
HWND FindProgramWindow(const char* className);

// Brings the window to the front, or the modal window open over it.
void BringWindowToFront(HWND window);

// Gives a modeless window of the program its keyboard navigation; true when
// the message was that and is handled.
bool IsDialogMessageOfProgram(MSG& message);

}  // namespace velmora::win32
