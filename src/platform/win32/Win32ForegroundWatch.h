#pragma once

// The foreground program as Windows reports it, for the UI thread.

#include "platform/ForegroundWatch.h"
#include "platform/win32/Handles.h"

namespace velmora::win32 {

struct WinEventHookTraits {
    using Handle = HWINEVENTHOOK;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::UnhookWinEvent(h) != FALSE; }
};

// A timer of the thread's own, with no window.
struct ThreadTimerTraits {
    using Handle = UINT_PTR;
    static Handle Invalid() { return 0; }
    static bool IsValid(Handle h) { return h != 0; }
    static bool Close(Handle h) { return ::KillTimer(nullptr, h) != FALSE; }
};

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

    HWND m_foreground = nullptr;
    UniqueResource<WinEventHookTraits> m_hook;
    UniqueResource<ThreadTimerTraits> m_timer;
};

}  // namespace velmora::win32
