#pragma once

// What the program does while one of its modal windows or message boxes is up.

#include <vector>

#include "platform/win32/Win32.h"

namespace velmora::win32 {

// Disables every window of the program that the user could click, except the
// modal window's owner (the system's modal loop disables that one), for as
// long as a modal window or message box is up. Counts the modal windows open.
class ModalScope {
public:
    explicit ModalScope(HWND owner);
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    ~ModalScope();

private:
    std::vector<HWND> m_disabled;
};

// How many modal windows, message boxes and common dialogs are open.
int ModalDepth();

// Asks every modal window of the program to close as if cancelled, and
// closes any open menu; with force, ends the ones that ignored the request.
void EndModalWindows(bool force);

}  // namespace velmora::win32
