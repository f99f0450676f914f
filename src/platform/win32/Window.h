#pragma once

// Every window of the program is a dialog of its own class: the class has the
// dialog extra bytes and passes what it leaves to DefDlgProc, so the system's
// dialog manager keeps the focus across activation, presses the default and
// cancel buttons on Enter and Esc, moves through the tab order and answers
// mnemonics. Windows are made from an empty template in memory. A modal
// window runs in the system's modal loop (DialogBoxIndirectParam) and creates
// its controls when WM_INITDIALOG arrives; a modeless one once it exists.
//
// The object owns its window: destroying the object destroys the window, and
// no message reaches the object after that. An exception that escapes a
// handler is shown in the program's error box, and the program goes on.

#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/ProgramIcon.h"

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

// MessageBoxA as a modal window of the program.
int ShowMessageBox(HWND owner, const std::string& text, const char* caption, UINT flags);
// The same for a Unicode text (MessageBoxW).
int ShowMessageBox(HWND owner, const std::u16string& text, const char* caption, UINT flags);

// Shows the program's standard error box.
void ShowErrorBox(HWND owner, const std::string& text);

// Converts a length at 96 DPI to the screen's DPI.
int ScaleForDpi(int pixels);

// The system's message font, which dialogs use.
UniqueGdiObject CreateMessageFont(bool bold = false);

// Creates a child control at a place given in 96-DPI pixels, in the font.
HWND CreateControl(HWND parent, const char* className, const char* text, DWORD style, int id, RECT place96,
                   HGDIOBJ font);
// The same, empty, as a Unicode window, for controls that show names or
// texts beyond the code page (its W messages carry them whole).
HWND CreateWideControl(HWND parent, const wchar_t* className, DWORD style, int id, RECT place96, HGDIOBJ font);

// A plain child window that groups controls, like a dialog page. What its
// controls report (commands, notifications, drawing, colours) goes on to the
// top-level window, so one handler serves every panel.
HWND CreatePanel(HWND parent, int id);

// Gives a modeless window of the program its keyboard navigation; true when
// the message was that and is handled.
bool IsDialogMessageOfProgram(MSG& message);

// Brings the window to the front, or the modal window open over it.
void BringWindowToFront(HWND window);

// The program's open window of that class, or nullptr.
HWND FindProgramWindow(const char* className);

namespace detail {

struct DialogPlace {
    const char* className;
    const char* caption;
    DWORD style;
    DWORD exStyle;
    RECT frame;  // screen position and outer size, in pixels
    HWND owner;
};

// Registers the class once, with the dialog extra bytes.
bool RegisterDialogClass(const char* className, WNDPROC procedure);
HWND CreateModelessDialog(const DialogPlace& place, void* object);
INT_PTR RunModalDialog(const DialogPlace& place, void* object);
// Marks the window as one the main loop gives dialog navigation to, or as a
// modal one that a teardown ends.
void MarkModeless(HWND window);
void MarkModal(HWND window);
void Unmark(HWND window);
void PlaceWindow(HWND window, const RECT& frame);
RECT CentredFrame(int clientWidth96, int clientHeight96, DWORD style, DWORD exStyle);
void ReportHandlerError(HWND window, const char* text);

}  // namespace detail

template <typename T>
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return m_window.Get(); }

protected:
    ~Window()
    {
        // Detached first, so that nothing sent while it goes reaches the
        // half-destroyed object.
        if (const HWND window = m_window.Release()) {
            ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            detail::Unmark(window);
            ::DestroyWindow(window);
        }
    }

    struct CreateParams {
        const char* className;
        const char* caption;
        DWORD style = WS_OVERLAPPEDWINDOW;
        DWORD exStyle = 0;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        HWND owner = nullptr;
    };

    // A modeless window, hidden until shown. An owner of HWND_MESSAGE makes
    // a message-only window instead, which is no dialog.
    bool CreateWindowFor(const CreateParams& params)
    {
        if (!detail::RegisterDialogClass(params.className, &Window::WindowProc)) {
            return false;
        }
        if (params.owner == HWND_MESSAGE) {
            m_dialog = false;
            ::CreateWindowExA(0, params.className, params.caption, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              ::GetModuleHandleA(nullptr), static_cast<Window*>(this));
            return Handle() != nullptr;
        }
        m_modal = false;
        m_frame = PlaceOf(params).frame;
        detail::CreateModelessDialog(PlaceOf(params), static_cast<Window*>(this));
        return Handle() != nullptr;
    }

    // A fixed-size dialog-style window centred on the screen, its client area
    // given at 96 DPI. omittedStyle takes parts of the usual frame away, such
    // as WS_SYSMENU for a window without a close box.
    static CreateParams CentredDialog(const char* className, const char* caption, int clientWidth, int clientHeight,
                                      HWND owner, DWORD extraStyle = 0, DWORD omittedStyle = 0)
    {
        const DWORD style = (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | extraStyle) & ~omittedStyle;
        const RECT frame = detail::CentredFrame(clientWidth, clientHeight, style, WS_EX_DLGMODALFRAME);
        return {
            .className = className,
            .caption = caption,
            .style = style,
            .exStyle = WS_EX_DLGMODALFRAME,
            .x = frame.left,
            .y = frame.top,
            .width = frame.right - frame.left,
            .height = frame.bottom - frame.top,
            .owner = owner,
        };
    }

    // Runs the window modally over its owner until EndModal; returns its
    // result, or -1 when it could not be created.
    INT_PTR RunModal(const CreateParams& params)
    {
        if (!detail::RegisterDialogClass(params.className, &Window::WindowProc)) {
            return -1;
        }
        m_modal = true;
        m_frame = PlaceOf(params).frame;
        return detail::RunModalDialog(PlaceOf(params), static_cast<Window*>(this));
    }

    void EndModal(INT_PTR result) { ::EndDialog(Handle(), result); }

    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return m_dialog ? ::DefDlgProcA(Handle(), message, wParam, lParam)
                        : ::DefWindowProcA(Handle(), message, wParam, lParam);
    }

    // Destroys the window now, its last messages still reaching the object
    // (a clipboard owner renders its offer then).
    void DestroyAttached()
    {
        if (Handle() != nullptr) {
            ::DestroyWindow(Handle());
        }
    }

private:
    static detail::DialogPlace PlaceOf(const CreateParams& params)
    {
        return {params.className,
                params.caption,
                params.style,
                params.exStyle,
                {params.x, params.y, params.x + params.width, params.y + params.height},
                params.owner};
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        T* self = nullptr;
        if (message == WM_NCCREATE && reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams != nullptr) {
            auto* base = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
            self = static_cast<T*>(base);
            self->m_window = UniqueWindow(window);
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(base));
        } else if (message == WM_INITDIALOG) {
            // The object comes with the first message that is the dialog's own.
            auto* base = reinterpret_cast<Window*>(lParam);
            self = static_cast<T*>(base);
            self->m_window = UniqueWindow(window);
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(base));
            detail::PlaceWindow(window, base->m_frame);
            SetProgramIcon(window);
            if (base->m_modal) {
                detail::MarkModal(window);
            } else {
                detail::MarkModeless(window);
            }
        } else {
            self = static_cast<T*>(reinterpret_cast<Window*>(::GetWindowLongPtrA(window, GWLP_USERDATA)));
        }
        if (self == nullptr) {
            // Before WM_INITDIALOG every window here is a dialog in the making.
            return ::DefDlgProcA(window, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            // The system has destroyed the window; the object must not do it again.
            ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            detail::Unmark(window);
            self->m_window.Release();
        }
        try {
            return self->HandleMessage(message, wParam, lParam);
        } catch (const std::exception& error) {
            detail::ReportHandlerError(window, error.what());
        } catch (...) {
            detail::ReportHandlerError(window, "Unexpected error");
        }
        return 0;
    }

    UniqueWindow m_window;
    RECT m_frame{};
    bool m_modal = false;
    bool m_dialog = true;
};

}  // namespace velmora::win32
