#include "platform/win32/Win32ForegroundWatch.h"

#include <algorithm>
#include <vector>

#include "platform/win32/ProcessIdentity.h"

namespace velmora::win32 {

namespace {

// Wine 8 sends EVENT_SYSTEM_FOREGROUND only for this process's own windows,
// so a short poll of GetForegroundWindow catches the other programs' ones.
constexpr UINT kPollMilliseconds = 100;

// The callbacks carry no pointer of ours; every watch of the thread looks.
std::vector<Win32ForegroundWatch*>& LiveWatches()
{
    static std::vector<Win32ForegroundWatch*> watches;
    return watches;
}

}  // namespace

std::u16string ProgramOfWindow(HWND window)
{
    DWORD processId = 0;
    if (window == nullptr || ::GetWindowThreadProcessId(window, &processId) == 0) {
        return {};
    }
    // The limited right is granted for elevated programs too.
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        return {};
    }
    const std::wstring path = ImagePathOf(process.Get());
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return {name.begin(), name.end()};
}

Win32ForegroundWatch::Win32ForegroundWatch() : m_foreground(::GetForegroundWindow())
{
    LiveWatches().push_back(this);
    m_hook.Reset(::SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, &ForegroundEvent, 0,
                                   0, WINEVENT_OUTOFCONTEXT));
    m_timer.Reset(::SetTimer(nullptr, 0, kPollMilliseconds, &PollTimer));
}

Win32ForegroundWatch::~Win32ForegroundWatch()
{
    // The hook and the timer go with the members; no call back reaches
    // this watch once it has left the list.
    auto& watches = LiveWatches();
    watches.erase(std::remove(watches.begin(), watches.end(), this), watches.end());
}

std::u16string Win32ForegroundWatch::ForegroundProgram()
{
    return ProgramOfWindow(::GetForegroundWindow());
}

void Win32ForegroundWatch::Check()
{
    const HWND foreground = ::GetForegroundWindow();
    if (foreground == m_foreground) {
        return;
    }
    m_foreground = foreground;
    if (Changed) {
        Changed();
    }
}

void CALLBACK Win32ForegroundWatch::ForegroundEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD)
{
    // A listener may end a watch, so each one is still looked for first.
    const std::vector<Win32ForegroundWatch*> watches = LiveWatches();
    for (Win32ForegroundWatch* watch : watches) {
        const auto& live = LiveWatches();
        if (std::find(live.begin(), live.end(), watch) != live.end()) {
            // No exception may cross the system's call back; the next
            // change is followed again.
            try {
                watch->Check();
            } catch (...) {
            }
        }
    }
}

void CALLBACK Win32ForegroundWatch::PollTimer(HWND, UINT, UINT_PTR, DWORD)
{
    ForegroundEvent(nullptr, 0, nullptr, 0, 0, 0, 0);
}

}  // namespace velmora::win32
