// A window for playback to type into: one multi-line edit control filling a
// top-level window whose title is the first argument, so each test can find
// its own. Lines do not wrap, which keeps Home and End to whole lines.
// Ctrl+A selects all, as the usual editors' accelerator does (Wine's edit
// control has no such key of its own).

#include <string>

#include "platform/win32/Window.h"

namespace {

constexpr WORD kSelectAll = 1;

class TargetWindow : public velmora::win32::Window<TargetWindow> {
public:
    bool Create(const std::string& title)
    {
        if (!CreateWindowFor({.className = "VelmoraTarget",
                              .caption = title.c_str(),
                              .style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              .x = 0,
                              .y = 0,
                              .width = 640,
                              .height = 480})) {
            return false;
        }
        m_edit = ::CreateWindowExA(0, "EDIT", "",
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                       ES_AUTOHSCROLL | ES_WANTRETURN,
                                   0, 0, 0, 0, Handle(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
        if (m_edit == nullptr) {
            return false;
        }
        // Benchmarks type more than the default limit of a multi-line edit.
        ::SendMessageA(m_edit, EM_SETLIMITTEXT, 0, 0);
        FitEdit();
        ::SetFocus(m_edit);
        return true;
    }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_SIZE:
            FitEdit();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kSelectAll) {
                ::SendMessageA(m_edit, EM_SETSEL, 0, -1);
                return 0;
            }
            return DefaultHandling(message, wParam, lParam);
        case WM_SETFOCUS:
            ::SetFocus(m_edit);
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return DefaultHandling(message, wParam, lParam);
        }
    }

private:
    void FitEdit()
    {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        ::MoveWindow(m_edit, 0, 0, client.right, client.bottom, TRUE);
    }

    HWND m_edit = nullptr;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    TargetWindow window;
    if (!window.Create(commandLine)) {
        return 1;
    }
    ACCEL selectAll{.fVirt = FVIRTKEY | FCONTROL, .key = 'A', .cmd = kSelectAll};
    const velmora::win32::UniqueAcceleratorTable accelerators(::CreateAcceleratorTableA(&selectAll, 1));
    MSG message{};
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!::TranslateAcceleratorA(window.Handle(), accelerators.Get(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
