#include "platform/win32/ProgramWindows.h"

#include <cstring>
#include <vector>

namespace velmora::win32 {

namespace {

constexpr const char* kModelessProperty = "Velmora.Modeless";
constexpr const char* kModalProperty = "Velmora.Modal";
constexpr const char* kSystemDialogClass = "#32770";

bool HasClass(HWND window, const char* className)
{
    char name[64]{};
    ::GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, className) == 0;
}

}  // namespace

void MarkWindow(HWND window, WindowRole role)
{
    ::SetPropA(window, role == WindowRole::Modal ? kModalProperty : kModelessProperty, reinterpret_cast<HANDLE>(1));
}

void UnmarkWindow(HWND window)
{
    ::RemovePropA(window, kModelessProperty);
    ::RemovePropA(window, kModalProperty);
    ::RemovePropA(window, kCancelAskedProperty);
}

bool IsModalWindow(HWND window)
{
    return ::GetPropA(window, kModalProperty) != nullptr || HasClass(window, kSystemDialogClass);
}

void ForEachProgramWindow(const std::function<void(HWND)>& visit)
{
    // Listed first: a visit may close windows.
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

HWND FindProgramWindow(const char* className)
{
    HWND found = nullptr;
    ForEachProgramWindow([&](HWND window) {
        if (found == nullptr && HasClass(window, className)) {
            found = window;
        }
    });
    return found;
}

void BringWindowToFront(HWND window)
{
    const HWND front = ::GetLastActivePopup(window);
    ::SetForegroundWindow(front != nullptr ? front : window);
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

}  // namespace velmora::win32
