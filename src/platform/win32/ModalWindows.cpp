#include "platform/win32/ModalWindows.h"

#include "platform/win32/ProgramWindows.h"

namespace velmora::win32 {

namespace {

int g_modalDepth = 0;

}  // namespace

ModalScope::ModalScope(HWND owner)
{
    const HWND ownerRoot = owner != nullptr ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    ForEachProgramWindow([&](HWND window) {
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
    ForEachProgramWindow([force](HWND window) {
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

}  // namespace velmora::win32
