#include "platform/win32/Window.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/MessageBoxes.h"
#include "platform/win32/ModalWindows.h"
#include "platform/win32/ProgramWindows.h"

namespace velmora::win32 {

namespace {

// Every program window is a dialog; DefDlgProc calls this for what the class
// leaves, and it leaves everything to the dialog manager.
INT_PTR CALLBACK NoDialogProcedure(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// An empty dialog template: the window's class and caption, no controls.
// Place and size are set in pixels once the window exists.
std::vector<WORD> EmptyTemplate(const detail::DialogPlace& place, DWORD style)
{
    static_assert(sizeof(DLGTEMPLATE) == 18, "the template header is packed");
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    DLGTEMPLATE header{.style = style, .dwExtendedStyle = place.exStyle};
    std::memcpy(words.data(), &header, sizeof header);
    const auto appendText = [&words](const char* text) {
        const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        std::vector<wchar_t> wide(static_cast<std::size_t>(std::max(length, 1)), L'\0');
        ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
        words.insert(words.end(), wide.begin(), wide.end());
    };
    words.push_back(0);  // no menu
    appendText(place.className);
    appendText(place.caption);
    // DWORD alignment for the (absent) items.
    if (words.size() % 2 != 0) {
        words.push_back(0);
    }
    return words;
}

}  // namespace

namespace detail {

bool RegisterDialogClass(const char* className, WNDPROC procedure)
{
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{.cbSize = sizeof(WNDCLASSEXA)};
    if (::GetClassInfoExA(instance, className, &existing)) {
        return true;
    }
    const WNDCLASSEXA windowClass{
        .cbSize = sizeof(WNDCLASSEXA),
        .style = CS_DBLCLKS,
        .lpfnWndProc = procedure,
        .cbWndExtra = DLGWINDOWEXTRA,
        .hInstance = instance,
        .hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)),
        .hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
        .lpszClassName = className,
    };
    return ::RegisterClassExA(&windowClass) != 0;
}

HWND CreateModelessDialog(const DialogPlace& place, void* object)
{
    const std::vector<WORD> words = EmptyTemplate(place, place.style);
    return ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(words.data()),
                                        place.owner, &NoDialogProcedure, reinterpret_cast<LPARAM>(object));
}

INT_PTR RunModalDialog(const DialogPlace& place, void* object)
{
    // A modal window shows as soon as it is ready, not only once its loop
    // finds the queue empty.
    const std::vector<WORD> words = EmptyTemplate(place, place.style | WS_VISIBLE);
    const ModalScope scope(place.owner);
    return ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(words.data()),
                                     place.owner, &NoDialogProcedure, reinterpret_cast<LPARAM>(object));
}

void AttachWindow(HWND window, void* object, bool modal)
{
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    MarkWindow(window, modal ? WindowRole::Modal : WindowRole::Modeless);
}

void DetachWindow(HWND window)
{
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    UnmarkWindow(window);
}

void* AttachedObject(HWND window)
{
    return reinterpret_cast<void*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

void PlaceWindow(HWND window, const RECT& frame)
{
    ::SetWindowPos(window, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceCentred(HWND window, SIZE client96, SIZE scale, HWND owner)
{
    const UINT dpi = WindowDpi(window);
    const SIZE client{::MulDiv(client96.cx, scale.cx, USER_DEFAULT_SCREEN_DPI),
                      ::MulDiv(client96.cy, scale.cy, USER_DEFAULT_SCREEN_DPI)};
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_EXSTYLE));
    const RECT frame = FrameForClient(client, style, exStyle, dpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // The owner's monitor, or the main one.
    MONITORINFO monitor{.cbSize = sizeof(MONITORINFO)};
    if (!::GetMonitorInfoA(::MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        monitor.rcMonitor = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    const RECT& screen = monitor.rcMonitor;
    const int left = screen.left + (screen.right - screen.left - width) / 2;
    const int top = screen.top + (screen.bottom - screen.top - height) / 2;
    PlaceWindow(window, {left, top, left + width, top + height});
}

void TakeSuggestedFrame(HWND window, LPARAM suggested)
{
    PlaceWindow(window, *reinterpret_cast<const RECT*>(suggested));
}

void ReportHandlerError(HWND window, const char* text)
{
    ShowErrorBox(::IsWindow(window) ? window : nullptr, text);
}

}  // namespace detail

}  // namespace velmora::win32
