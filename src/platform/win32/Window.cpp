#include "platform/win32/Window.h"

#include <algorithm>
#include <cstring>

#include "macros/Error.h"
#include "platform/win32/Dpi.h"

namespace velmora::win32 {

namespace {

constexpr const char* kModelessProperty = "Velmora.Modeless";
constexpr const char* kModalProperty = "Velmora.Modal";
constexpr const char* kSystemDialogClass = "#32770";
// A modal window that already had a cancel request and is still up.
constexpr const char* kCancelAskedProperty = "Velmora.CancelAsked";

int g_modalDepth = 0;

template <typename Visit>
void ForEachThreadWindow(Visit visit)
{
    std::vector<HWND> windows;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    for (const HWND window : windows) {
        if (::IsWindow(window)) {
            visit(window);
        }
    }
}

bool HasClass(HWND window, const char* className)
{
    char name[64]{};
    ::GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, className) == 0;
}

bool IsModalWindow(HWND window)
{
    return ::GetPropA(window, kModalProperty) != nullptr || HasClass(window, kSystemDialogClass);
}

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

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    // A multi-line edit asks its parent to close on Esc; that is the window's close.
    case WM_CLOSE:
        return ::SendMessageA(::GetAncestor(window, GA_ROOT), message, wParam, lParam);
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

constexpr const char* kPanelClassName = "VelmoraPanel";

}  // namespace

ModalScope::ModalScope(HWND owner)
{
    const HWND ownerRoot = owner != nullptr ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    ForEachThreadWindow([&](HWND window) {
        if (window != ownerRoot && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
            ::EnableWindow(window, FALSE);
            m_disabled.push_back(window);
        }
    });
    ++g_modalDepth;
}

ModalScope::~ModalScope()
{
    --g_modalDepth;
    for (const HWND window : m_disabled) {
        if (::IsWindow(window)) {
            ::EnableWindow(window, TRUE);
        }
    }
}

int ModalDepth()
{
    return g_modalDepth;
}

void EndModalWindows(bool force)
{
    ::EndMenu();
    ForEachThreadWindow([force](HWND window) {
        if (!IsModalWindow(window)) {
            return;
        }
        if (force && ::GetPropA(window, kCancelAskedProperty) != nullptr) {
            // A box without a cancel button (Yes and No) ignores the request.
            ::EndDialog(window, IDCANCEL);
            return;
        }
        ::SetPropA(window, kCancelAskedProperty, reinterpret_cast<HANDLE>(1));
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(window, IDCANCEL)));
    });
}

int ShowMessageBox(HWND owner, const std::string& text, const char* caption, UINT flags)
{
    const ModalScope scope(owner);
    return ::MessageBoxA(owner, text.c_str(), caption, flags);
}

int ShowMessageBox(HWND owner, const std::u16string& text, const char* caption, UINT flags)
{
    const ModalScope scope(owner);
    // The captions are ASCII.
    const std::wstring wideCaption(caption, caption + std::char_traits<char>::length(caption));
    return ::MessageBoxW(owner, reinterpret_cast<LPCWSTR>(text.c_str()), wideCaption.c_str(), flags);
}

void ShowErrorBox(HWND owner, const std::string& text)
{
    ShowMessageBox(owner, ErrorBoxText(text), "Velmora", MB_OK | MB_ICONERROR);
}

int ScaleForDpi(int pixels)
{
    static const int dpi = static_cast<int>(SystemDpi());
    return ::MulDiv(pixels, dpi, USER_DEFAULT_SCREEN_DPI);
}

UniqueGdiObject CreateMessageFont(bool bold)
{
    NONCLIENTMETRICSA metrics{.cbSize = sizeof(NONCLIENTMETRICSA)};
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    if (bold) {
        metrics.lfMessageFont.lfWeight = FW_BOLD;
    }
    return UniqueGdiObject(::CreateFontIndirectA(&metrics.lfMessageFont));
}

HWND CreateControl(HWND parent, const char* className, const char* text, DWORD style, int id, RECT place96,
                   HGDIOBJ font)
{
    const HWND control = ::CreateWindowExA(
        0, className, text, WS_CHILD | WS_VISIBLE | style, ScaleForDpi(place96.left), ScaleForDpi(place96.top),
        ScaleForDpi(place96.right), ScaleForDpi(place96.bottom), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

HWND CreateWideControl(HWND parent, const wchar_t* className, DWORD style, int id, RECT place96, HGDIOBJ font)
{
    const HWND control = ::CreateWindowExW(
        0, className, L"", WS_CHILD | WS_VISIBLE | style, ScaleForDpi(place96.left), ScaleForDpi(place96.top),
        ScaleForDpi(place96.right), ScaleForDpi(place96.bottom), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

HWND CreatePanel(HWND parent, int id)
{
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{.cbSize = sizeof(WNDCLASSEXA)};
    if (!::GetClassInfoExA(instance, kPanelClassName, &existing)) {
        const WNDCLASSEXA windowClass{
            .cbSize = sizeof(WNDCLASSEXA),
            .lpfnWndProc = &PanelProc,
            .hInstance = instance,
            .hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)),
            .hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
            .lpszClassName = kPanelClassName,
        };
        ::RegisterClassExA(&windowClass);
    }
    return ::CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClassName, "",
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

bool IsDialogMessageOfProgram(MSG& message)
{
    if (message.hwnd == nullptr) {
        return false;
    }
    const HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    // The main loop takes its messages wide.
    return root != nullptr && ::GetPropA(root, kModelessProperty) != nullptr &&
           ::IsDialogMessageW(root, &message) != FALSE;
}

void BringWindowToFront(HWND window)
{
    const HWND front = ::GetLastActivePopup(window);
    ::SetForegroundWindow(front != nullptr ? front : window);
}

HWND FindProgramWindow(const char* className)
{
    HWND found = nullptr;
    ForEachThreadWindow([&](HWND window) {
        if (found == nullptr && HasClass(window, className)) {
            found = window;
        }
    });
    return found;
}

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
    const HWND window = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr),
                                                     reinterpret_cast<LPCDLGTEMPLATEA>(words.data()), place.owner,
                                                     &NoDialogProcedure, reinterpret_cast<LPARAM>(object));
    return window;
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

void MarkModeless(HWND window)
{
    ::SetPropA(window, kModelessProperty, reinterpret_cast<HANDLE>(1));
}

void MarkModal(HWND window)
{
    ::SetPropA(window, kModalProperty, reinterpret_cast<HANDLE>(1));
}

void Unmark(HWND window)
{
    ::RemovePropA(window, kModelessProperty);
    ::RemovePropA(window, kModalProperty);
    ::RemovePropA(window, kCancelAskedProperty);
}

void PlaceWindow(HWND window, const RECT& frame)
{
    ::SetWindowPos(window, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT CentredFrame(int clientWidth96, int clientHeight96, DWORD style, DWORD exStyle)
{
    RECT frame{0, 0, ScaleForDpi(clientWidth96), ScaleForDpi(clientHeight96)};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return {left, top, left + width, top + height};
}

void ReportHandlerError(HWND window, const char* text)
{
    ShowErrorBox(::IsWindow(window) ? window : nullptr, text);
}

}  // namespace detail

}  // namespace velmora::win32
