#pragma once

// Helpers for driving the program's windows from a test on the same thread.

#include <functional>
#include <string>
#include <utility>

#include "platform/win32/Win32.h"
#include "platform/win32/ProgramWindows.h"

namespace velmora::tests {

// Handles every message already waiting on this thread's queue, as the
// program's own loop does: keys reach the dialog manager first.
inline void PumpWaitingMessages()
{
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!win32::IsDialogMessageOfProgram(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

// A control however deeply the window's panels nest it; works across processes.
inline HWND FindControl(HWND window, int controlId)
{
    struct Search {
        int controlId;
        HWND found;
    } search{controlId, nullptr};
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            if (::GetDlgCtrlID(child) == s.controlId) {
                s.found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The text of a window or control of this process or another: WM_GETTEXT
// crosses processes, where GetWindowText gives only another process's caption.
inline std::string TextOf(HWND control)
{
    std::string text(static_cast<std::size_t>(::SendMessageA(control, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        ::SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// The same as Unicode, for texts beyond the code page.
inline std::u16string WideTextOf(HWND control)
{
    std::wstring text(static_cast<std::size_t>(::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return {text.begin(), text.end()};
}

// A hidden top-level window that runs an action when a message posted to it
// is dispatched, so a test can act from inside another window's modal loop.
class Driver {
public:
    Driver()
    {
        const WNDCLASSEXA windowClass{
            .cbSize = sizeof(WNDCLASSEXA),
            .lpfnWndProc = &Driver::Proc,
            .hInstance = ::GetModuleHandleA(nullptr),
            .lpszClassName = "VelmoraTestDriver",
        };
        ::RegisterClassExA(&windowClass);
        m_window = ::CreateWindowExA(0, "VelmoraTestDriver", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr);
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    ~Driver()
    {
        ::DestroyWindow(m_window);
        Action() = nullptr;
    }

    HWND Handle() const { return m_window; }

    // Runs action once the running message loop reaches it.
    void Post(std::function<void()> action)
    {
        Action() = std::move(action);
        ::PostMessageA(m_window, WM_APP, 0, 0);
    }

private:
    static std::function<void()>& Action()
    {
        static std::function<void()> action;
        return action;
    }

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_APP && Action()) {
            const std::function<void()> action = std::exchange(Action(), nullptr);
            action();
            return 0;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
};

}  // namespace velmora::tests
