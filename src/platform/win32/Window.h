#pragma once

// A small base for top-level windows: it stores the object pointer when the
// window is created and routes every message to T::HandleMessage. An
// exception that escapes a handler is shown in the program's error box, and
// the program goes on with the next message.

#include <string>

#include "platform/win32/Handles.h"

namespace velmora::win32 {

// Shows the program's standard error box.
void ShowErrorBox(HWND owner, const std::string& text);

// Converts a length at 96 DPI to the screen's DPI.
int ScaleForDpi(int pixels);

// The system's message font, which dialogs use.
UniqueGdiObject CreateMessageFont(bool bold = false);

// Shows a window modally over its owner, as a dialog: the owner is disabled,
// Enter and Esc reach the default and cancel buttons, and the loop ends when
// closed becomes true (a quit message met meanwhile is passed on). The focus
// starts on the OK button unless another control is given.
void RunModal(HWND window, HWND owner, const bool& closed, HWND focus = nullptr);

// Ends RunModal's loop: hides the window and wakes the loop, which may be
// waiting in GetMessage when the click came from another program (a sent
// BM_CLICK), as EndDialog does.
void EndModal(HWND window, bool& closed);

// Creates a child control at a place given in 96-DPI pixels, in the font.
HWND CreateControl(HWND parent, const char* className, const char* text, DWORD style, int id, RECT place96,
                   HGDIOBJ font);

// A plain child window that groups controls, like a dialog page. What its
// controls report (commands, notifications, drawing, colours) goes on to the
// top-level window, so one handler serves every panel.
HWND CreatePanel(HWND parent, int id);

// Modeless windows whose keyboard navigation (Tab, Enter, Esc) the message
// loop must handle as in a dialog.
void AddModelessDialog(HWND window);
void RemoveModelessDialog(HWND window);
// True when the message was a modeless dialog's navigation and is handled.
bool IsModelessDialogMessage(MSG& message);

template <typename T>
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return m_window.Get(); }

protected:
    ~Window() = default;

    struct CreateParams {
        const char* className;
        const char* caption;
        DWORD style = WS_OVERLAPPEDWINDOW;
        DWORD exStyle = 0;
        int x = CW_USEDEFAULT;
        int y = CW_USEDEFAULT;
        int width = CW_USEDEFAULT;
        int height = CW_USEDEFAULT;
        HWND parent = nullptr;
    };

    bool CreateWindowFor(const CreateParams& params)
    {
        const HINSTANCE instance = ::GetModuleHandleA(nullptr);
        WNDCLASSEXA existing{.cbSize = sizeof(WNDCLASSEXA)};
        if (!::GetClassInfoExA(instance, params.className, &existing)) {
            const WNDCLASSEXA windowClass{
                .cbSize = sizeof(WNDCLASSEXA),
                .lpfnWndProc = &Window::WindowProc,
                .hInstance = instance,
                .hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)),
                .hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                .lpszClassName = params.className,
            };
            if (!::RegisterClassExA(&windowClass)) {
                return false;
            }
        }
        ::CreateWindowExA(params.exStyle, params.className, params.caption, params.style, params.x, params.y,
                          params.width, params.height, params.parent, nullptr, instance, this);
        return static_cast<bool>(m_window);
    }

    // A fixed-size dialog-style window centred on the screen, its client area
    // given at 96 DPI. omittedStyle takes parts of the usual frame away, such
    // as WS_SYSMENU for a window without a close box.
    bool CreateCentredDialog(const char* className, const char* caption, int clientWidth, int clientHeight,
                             HWND owner, DWORD extraStyle = 0, DWORD omittedStyle = 0)
    {
        const DWORD style = (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | extraStyle) & ~omittedStyle;
        RECT frame{0, 0, ScaleForDpi(clientWidth), ScaleForDpi(clientHeight)};
        ::AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        return CreateWindowFor({
            .className = className,
            .caption = caption,
            .style = style,
            .exStyle = WS_EX_DLGMODALFRAME,
            .x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
            .y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2,
            .width = width,
            .height = height,
            .parent = owner,
        });
    }

    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return ::DefWindowProcA(Handle(), message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        T* self = nullptr;
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            self = static_cast<T*>(static_cast<Window*>(create->lpCreateParams));
            self->m_window = UniqueWindow(window);
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<T*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        }
        if (self == nullptr) {
            return ::DefWindowProcA(window, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            // The system has destroyed the window; the object must not do it again.
            ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            self->m_window.Release();
        }
        try {
            return self->HandleMessage(message, wParam, lParam);
        } catch (const std::exception& error) {
            ShowErrorBox(window, error.what());
        } catch (...) {
            ShowErrorBox(window, "Unexpected error");
        }
        return 0;
    }

    UniqueWindow m_window;
};

}  // namespace velmora::win32
