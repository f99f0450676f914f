#pragma once

// Every window of the program is a dialog of its own class: the class has the
// dialog extra bytes and passes what it leaves to DefDlgProc, so the system's
// dialog manager keeps the focus across activation, presses the default and
// cancel buttons on Enter and Esc (and turns the close box into Cancel),
// moves through the tab order and answers mnemonics. Windows are made from an
// empty template in memory; the object attaches at WM_INITDIALOG, modal or
// modeless alike. A modal window runs in the system's modal loop
// (DialogBoxIndirectParam).
//
// A form says what it does at start and on OK and Cancel; the layer does the
// rest: it creates the controls, sizes the window for its DPI, and on
// WM_DPICHANGED takes the suggested frame, makes the fonts again and lays the
// controls out anew.
//
// The object owns its window: destroying the object destroys the window, and
// no message reaches the object after that. An exception that escapes a
// handler is shown in the program's error box, and the program goes on.

#include <exception>

#include "platform/win32/Dpi.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ProgramIcon.h"

namespace velmora::win32 {

// What creates a window's controls and places them for its size and DPI.
class ControlLayer {
public:
    virtual void Create(HWND window, UINT dpi, const MessageFonts& fonts) = 0;
    virtual void Place(HWND window, UINT dpi) = 0;
    virtual void SetFonts(const MessageFonts& fonts) = 0;
    // The client area the controls were designed for, at 96 DPI.
    virtual SIZE DesignClient() const = 0;

protected:
    ~ControlLayer() = default;
};

namespace detail {

struct DialogPlace {
    const char* className;
    const char* caption;
    DWORD style;
    DWORD exStyle;
    HWND owner;
};

// Registers the class once, with the dialog extra bytes.
bool RegisterDialogClass(const char* className, WNDPROC procedure);
HWND CreateModelessDialog(const DialogPlace& place, void* object);
INT_PTR RunModalDialog(const DialogPlace& place, void* object);
void AttachWindow(HWND window, void* object, bool modal);
void DetachWindow(HWND window);
void* AttachedObject(HWND window);
void PlaceWindow(HWND window, const RECT& frame);
// Centred on the owner's monitor, or the main one, with that client area at
// the scale of the window's fonts.
void PlaceCentred(HWND window, SIZE client96, SIZE scale, HWND owner);
// Takes the frame WM_DPICHANGED suggests.
void TakeSuggestedFrame(HWND window, LPARAM suggested);
void ReportHandlerError(HWND window, const char* text);

}  // namespace detail

template <typename T>
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window()
    {
        // Detached first, so that nothing sent while it goes reaches the
        // half-destroyed object.
        if (const HWND window = m_window.Release()) {
            detail::DetachWindow(window);
            ::DestroyWindow(window);
        }
    }

    HWND Handle() const { return m_window.Get(); }
    // The window's DPI; before it exists, the system's.
    UINT Dpi() const { return m_dpi != 0 ? m_dpi : SystemDpi(); }

protected:
    struct CreateParams {
        const char* className;
        const char* caption;
        DWORD style = WS_OVERLAPPEDWINDOW;
        DWORD exStyle = 0;
        // The frame in pixels, unless client96 is given.
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        HWND owner = nullptr;
        // A client area at 96 DPI: the window is centred with it at its own DPI.
        SIZE client96{};
        // Creates and places the controls.
        ControlLayer* controls = nullptr;
    };

    // A modeless window, hidden until shown.
    bool CreateWindowFor(const CreateParams& params)
    {
        if (!detail::RegisterDialogClass(params.className, &Window::WindowProc)) {
            return false;
        }
        m_modal = false;
        m_params = params;
        detail::CreateModelessDialog(PlaceOf(params), static_cast<Window*>(this));
        return Handle() != nullptr;
    }

    // A fixed-size dialog-style window centred on the screen, its client area
    // the one its controls were designed for. omittedStyle takes parts of the
    // usual frame away, such as WS_SYSMENU for a window without a close box.
    static CreateParams CentredDialog(const char* className, const char* caption, HWND owner,
                                      ControlLayer& controls, DWORD extraStyle = 0, DWORD omittedStyle = 0)
    {
        return {
            .className = className,
            .caption = caption,
            .style = (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | extraStyle) & ~omittedStyle,
            .exStyle = WS_EX_DLGMODALFRAME,
            .owner = owner,
            .client96 = controls.DesignClient(),
            .controls = &controls,
        };
    }

    // Runs the window modally over its owner until Close; returns its
    // result, or -1 when it could not be created.
    INT_PTR RunModal(const CreateParams& params)
    {
        if (!detail::RegisterDialogClass(params.className, &Window::WindowProc)) {
            return -1;
        }
        m_modal = true;
        m_params = params;
        return detail::RunModalDialog(PlaceOf(params), static_cast<Window*>(this));
    }

    // Ends a modal window with that result, or destroys a modeless one.
    void Close(INT_PTR result)
    {
        if (m_modal) {
            ::EndDialog(Handle(), result);
        } else if (Handle() != nullptr) {
            ::DestroyWindow(Handle());
        }
    }

    // Once the controls exist, before the window shows.
    virtual void OnStart() {}
    // OK (or Enter); a modal window closes with IDOK unless the form says otherwise.
    virtual void OnOk()
    {
        if (m_modal) {
            Close(IDOK);
        }
    }
    // Cancel, Esc or the close box; a modal window closes with IDCANCEL.
    virtual void OnCancel()
    {
        if (m_modal) {
            Close(IDCANCEL);
        }
    }
    // F1; the form opens its help topic.
    virtual void OnHelp() {}
    // After the fonts were made again and the controls laid out for a new DPI.
    virtual void OnDpiChanged() {}

    const MessageFonts& Fonts() const { return m_fonts; }
    // A 96-DPI length at the window's DPI.
    int S(int pixels) const { return ScaleForDpi(pixels, Dpi()); }

    // A form with messages of its own hides this and passes the rest to DefaultHandling.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return DefaultHandling(message, wParam, lParam);
    }

    // What the form leaves: the layer's own handling, then the dialog manager's.
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_INITDIALOG: return Start();
        case WM_COMMAND:
            if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) {
                if (LOWORD(wParam) == IDOK) {
                    OnOk();
                    return 0;
                }
                if (LOWORD(wParam) == IDCANCEL) {
                    OnCancel();
                    return 0;
                }
            }
            break;
        case WM_CLOSE: OnCancel(); return 0;
        case WM_HELP: OnHelp(); return TRUE;
        // Handled above (Track): the dialog manager's own scaling of a dialog
        // on a new monitor would scale the controls a second time.
        case WM_DPICHANGED: return 0;
        default: break;
        }
        return ::DefDlgProcA(Handle(), message, wParam, lParam);
    }

private:
    static detail::DialogPlace PlaceOf(const CreateParams& params)
    {
        return {params.className, params.caption, params.style, params.exStyle, params.owner};
    }

    BOOL Start()
    {
        m_dpi = WindowDpi(Handle());
        m_fonts = MessageFonts::ForDpi(m_dpi);
        if (m_params.client96.cx != 0) {
            detail::PlaceCentred(Handle(), m_params.client96, m_fonts.scale, m_params.owner);
        } else {
            detail::PlaceWindow(Handle(), {m_params.x, m_params.y, m_params.x + m_params.width,
                                           m_params.y + m_params.height});
        }
        if (m_params.controls != nullptr) {
            m_params.controls->Create(Handle(), m_dpi, m_fonts);
        }
        OnStart();
        // Unless the form chose the focus, the dialog manager gives it to the first tab stop.
        return ::GetFocus() == nullptr || ::GetAncestor(::GetFocus(), GA_ROOT) != Handle();
    }

    // Kept for every window, whatever the form handles itself.
    void Track(UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_DPICHANGED) {
            m_dpi = HIWORD(wParam);
            m_fonts = MessageFonts::ForDpi(m_dpi);
            if (m_params.controls != nullptr) {
                m_params.controls->SetFonts(m_fonts);
            }
            // The new frame sends WM_SIZE, which lays the controls out.
            detail::TakeSuggestedFrame(Handle(), lParam);
            if (m_params.controls != nullptr) {
                m_params.controls->Place(Handle(), m_dpi);
            }
            OnDpiChanged();
        } else if (message == WM_SIZE && m_params.controls != nullptr && wParam != SIZE_MINIMIZED) {
            m_params.controls->Place(Handle(), m_dpi);
        }
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        if (message == WM_INITDIALOG) {
            // The object comes with the first message that is the dialog's own.
            auto* base = reinterpret_cast<Window*>(lParam);
            base->m_window = UniqueWindow(window);
            detail::AttachWindow(window, base, base->m_modal);
            SetProgramIcon(window);
        }
        auto* base = static_cast<Window*>(detail::AttachedObject(window));
        if (base == nullptr) {
            return ::DefDlgProcA(window, message, wParam, lParam);
        }
        T* self = static_cast<T*>(base);
        if (message == WM_NCDESTROY) {
            // The system has destroyed the window; the object must not do it again.
            detail::DetachWindow(window);
            base->m_window.Release();
        }
        try {
            base->Track(message, wParam, lParam);
            if (message == WM_DPICHANGED) {
                // The icons too are drawn for the window's DPI; a form that
                // lays out controls of its own still hears of the change.
                SetProgramIcon(window);
            }
            return self->HandleMessage(message, wParam, lParam);
        } catch (const std::exception& error) {
            detail::ReportHandlerError(window, error.what());
        } catch (...) {
            detail::ReportHandlerError(window, "Unexpected error");
        }
        return 0;
    }

    UniqueWindow m_window;
    CreateParams m_params{};
    MessageFonts m_fonts;
    UINT m_dpi = 0;
    bool m_modal = false;
};

}  // namespace velmora::win32
