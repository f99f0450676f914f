#pragma once

// The foreground program as Windows reports it, for the UI thread.

#include "platform/ForegroundWatch.h"
#include "platform/win32/Win32.h"

namespace velmora::win32 {

// Image name of the process that owns `window`; empty when it cannot be read.
std::u16string ProgramOfWindow(HWND window);

// Watches from construction to destruction, on the thread that made it,
// which must pump messages: both the event hook and the timer arrive as
// messages, in modal loops too.
class Win32ForegroundWatch final : public IForegroundWatch {
public:
    Win32ForegroundWatch();
    Win32ForegroundWatch(const Win32ForegroundWatch&) = delete;
    Win32ForegroundWatch& operator=(const Win32ForegroundWatch&) = delete;
    ~Win32ForegroundWatch() override;

    std::u16string ForegroundProgram() override;

private:
    static void CALLBACK ForegroundEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                                         DWORD thread, DWORD time);
    static void CALLBACK PollTimer(HWND window, UINT message, UINT_PTR id, DWORD time);
    // Tells Changed when the foreground window is another than last seen.
    void Check();

    HWINEVENTHOOK m_hook = nullptr;
    UINT_PTR m_timer = 0;
    HWND m_foreground = nullptr;
};

}  // namespace velmora::win32
