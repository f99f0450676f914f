#include "platform/win32/Win32KeyWatch.h"

#include <imm.h>

#include <future>
#include <utility>

#include "platform/Keyboard.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SystemLibrary.h"

namespace velmora::win32 {

namespace {

// Where the hooks post; each hook runs on the thread that set it.
struct HookTarget {
    HWND window;
    UINT keyMessage;
    UINT clickMessage;
    const std::atomic<bool>* macroRunning;
};
thread_local const HookTarget* t_target = nullptr;

// A posted key: wParam holds the virtual key, the hook's flags and the scan
// code (a Unicode event's UTF-16 unit); lParam these bits.
constexpr LPARAM kShiftDown = 1 << 0;
constexpr LPARAM kCtrlDown = 1 << 1;
constexpr LPARAM kAltDown = 1 << 2;
constexpr LPARAM kWinDown = 1 << 3;
constexpr LPARAM kCapsLockOn = 1 << 4;
constexpr LPARAM kOwnKey = 1 << 5;
constexpr LPARAM kDuringRun = 1 << 6;

// Layouts read the modifiers of either side from these; AltGr is Ctrl and Alt.
constexpr std::pair<int, LPARAM> kModifiers[] = {
    {VK_SHIFT, kShiftDown}, {VK_CONTROL, kCtrlDown}, {VK_MENU, kAltDown}, {VK_LWIN, kWinDown}, {VK_RWIN, kWinDown},
};

// How long the foreground window's input method may take to say whether it is open.
constexpr UINT kInputMethodAnswerMs = 50;
// WM_IME_CONTROL's question "are you open?" (IMC_GETOPENSTATUS, which only
// the driver kit's immdev.h names).
constexpr WPARAM kInputMethodOpenStatus = 0x0005;

bool Down(int key)
{
    return (static_cast<unsigned short>(::GetAsyncKeyState(key)) & 0x8000u) != 0;
}

// The modifiers as they were when the key went down: the hook runs before
// the key changes the state.
LPARAM HeldKeys()
{
    LPARAM held = 0;
    for (const auto& [key, bit] : kModifiers) {
        held |= Down(key) ? bit : 0;
    }
    held |= (::GetKeyState(VK_CAPITAL) & 1) != 0 ? kCapsLockOn : 0;
    return held;
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && t_target != nullptr && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN)) {
        const auto& event = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        LPARAM held = HeldKeys();
        held |= event.dwExtraInfo == kOwnInputMark ? kOwnKey : 0;
        held |= t_target->macroRunning->load() ? kDuringRun : 0;
        const WPARAM key = (event.vkCode & 0xFFu) | ((event.flags & 0xFFu) << 8) | ((event.scanCode & 0xFFFFu) << 16);
        ::PostMessageW(t_target->window, t_target->keyMessage, key, held);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && t_target != nullptr &&
        (wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN || wParam == WM_MBUTTONDOWN ||
         wParam == WM_XBUTTONDOWN)) {
        ::PostMessageW(t_target->window, t_target->clickMessage, 0, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Windows 10 1607 (build 14393) is the first whose ToUnicodeEx can leave the
// keyboard state alone. RtlGetVersion tells the truth whatever the manifest says.
bool ToUnicodeKeepsKeyboardState()
{
    using GetVersion = LONG WINAPI(OSVERSIONINFOW*);
    const auto getVersion = SystemFunction<GetVersion>(L"ntdll.dll", "RtlGetVersion");
    OSVERSIONINFOW version{.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW)};
    if (getVersion == nullptr || getVersion(&version) != 0) {
        return false;
    }
    return version.dwMajorVersion > 10 || (version.dwMajorVersion == 10 && version.dwBuildNumber >= 14393);
}

bool IsModifierOrLock(UINT key)
{
    return (key >= VK_SHIFT && key <= VK_MENU) || (key >= VK_LSHIFT && key <= VK_RMENU) || key == VK_CAPITAL ||
           key == VK_LWIN || key == VK_RWIN || key == VK_NUMLOCK || key == VK_SCROLL;
}

// Only the languages whose typing goes through an input method are asked:
// the question goes to another program's thread and waits for its answer.
// (ImmIsIME would tell of other input methods, but costs more than the rest
// of a key under Wine; their keys come as VK_PROCESSKEY all the same.)
bool InputMethodOpen(HWND foreground, HKL layout)
{
    const auto language = PRIMARYLANGID(LOWORD(reinterpret_cast<UINT_PTR>(layout)));
    if (foreground == nullptr || (language != LANG_CHINESE && language != LANG_JAPANESE && language != LANG_KOREAN)) {
        return false;
    }
    const HWND inputMethod = ::ImmGetDefaultIMEWnd(foreground);
    DWORD_PTR open = 0;
    return inputMethod != nullptr &&
           ::SendMessageTimeoutW(inputMethod, WM_IME_CONTROL, kInputMethodOpenStatus, 0, SMTO_ABORTIFHUNG,
                                 kInputMethodAnswerMs, &open) != 0 &&
           open != 0;
}

std::uint8_t Held(LPARAM bits)
{
    std::uint8_t held = 0;
    held |= (bits & kShiftDown) != 0 ? kHeldShift : 0;
    held |= (bits & kCtrlDown) != 0 ? kHeldCtrl : 0;
    held |= (bits & kAltDown) != 0 ? kHeldAlt : 0;
    held |= (bits & kWinDown) != 0 ? kHeldWin : 0;
    return held;
}

}  // namespace

Win32KeyWatch::Win32KeyWatch() : m_keepsKeyboardState(ToUnicodeKeepsKeyboardState()) {}

Win32KeyWatch::~Win32KeyWatch()
{
    Stop();
}

void Win32KeyWatch::SetWindow(HWND window, UINT keyMessage, UINT clickMessage)
{
    m_window = window;
    m_keyMessage = keyMessage;
    m_clickMessage = clickMessage;
}

bool Win32KeyWatch::Start()
{
    if (Watching()) {
        return true;
    }
    if (m_window == nullptr) {
        return false;
    }
    // The thread's id once its hooks are in place; 0 when they were refused.
    std::promise<DWORD> started;
    std::future<DWORD> threadId = started.get_future();
    m_thread = std::thread([target = HookTarget{m_window, m_keyMessage, m_clickMessage, &m_macroRunning},
                            started = std::move(started)]() mutable {
        t_target = &target;
        // The queue exists before Stop can post the end to it.
        MSG message{};
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        const HMODULE module = ::GetModuleHandleW(nullptr);
        const UniqueHook keyboard(::SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, module, 0));
        const UniqueHook mouse(::SetWindowsHookExW(WH_MOUSE_LL, MouseHook, module, 0));
        started.set_value(keyboard ? ::GetCurrentThreadId() : 0);
        while (keyboard && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
            ::DispatchMessageW(&message);
        }
    });
    m_threadId = threadId.get();
    if (m_threadId == 0) {
        m_thread.join();
        return false;
    }
    m_afterDeadKey = false;
    return true;
}

void Win32KeyWatch::Stop()
{
    if (!m_thread.joinable()) {
        return;
    }
    ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    m_thread.join();
    m_threadId = 0;
}

void Win32KeyWatch::WMKeyWatchKey(WPARAM wParam, LPARAM lParam)
{
    // Posted before a stop, handled after it.
    if (!Watching() || !KeyPressed) {
        return;
    }
    WatchedKey key{.virtualKey = static_cast<std::uint8_t>(wParam & 0xFFu),
                   .held = Held(lParam),
                   .own = (lParam & kOwnKey) != 0,
                   .duringRun = (lParam & kDuringRun) != 0};
    // The program's own keys and those of a run are passed over unread.
    if (!key.own && !key.duringRun) {
        Translate(key, static_cast<std::uint16_t>((wParam >> 16) & 0xFFFFu), lParam);
    }
    KeyPressed(key);
}

void Win32KeyWatch::WMKeyWatchClick()
{
    if (Watching() && Clicked) {
        Clicked();
    }
}

void Win32KeyWatch::Translate(WatchedKey& key, std::uint16_t scanCode, LPARAM held)
{
    const HWND foreground = ::GetForegroundWindow();
    const HKL layout = ::GetKeyboardLayout(::GetWindowThreadProcessId(foreground, nullptr));
    key.composing = key.virtualKey == VK_PROCESSKEY || InputMethodOpen(foreground, layout);
    if (key.composing) {
        m_afterDeadKey = false;
        return;
    }
    // Another program's Unicode input (an on-screen keyboard, say).
    if (key.virtualKey == VK_PACKET) {
        key.text.assign(1, static_cast<char16_t>(scanCode));
        return;
    }
    if (IsModifierOrLock(key.virtualKey)) {
        return;
    }
    if (std::exchange(m_afterDeadKey, false)) {
        key.unknownText = true;
        return;
    }
    // Before 1607 a dead key translated here would be taken from the
    // program it was meant for: it is told by its mark, not translated.
    if (!m_keepsKeyboardState && (::MapVirtualKeyExW(key.virtualKey, MAPVK_VK_TO_CHAR, layout) & 0x80000000u) != 0) {
        m_afterDeadKey = true;
        return;
    }
    BYTE state[256] = {};
    for (const auto& [modifier, bit] : kModifiers) {
        state[modifier] = (held & bit) != 0 ? 0x80 : 0;
    }
    state[VK_CAPITAL] = (held & kCapsLockOn) != 0 ? 1 : 0;
    wchar_t text[8] = {};
    const UINT flags = m_keepsKeyboardState ? 4 : 0;
    const int length = ::ToUnicodeEx(key.virtualKey, scanCode, state, text, 8, flags, layout);
    if (length < 0) {
        m_afterDeadKey = true;
        // A dead key the mark did not show (one with Shift or AltGr): a
        // second translation takes it out of the state again.
        if (!m_keepsKeyboardState) {
            ::ToUnicodeEx(key.virtualKey, scanCode, state, text, 8, 0, layout);
        }
        return;
    }
    key.text.assign(text, text + length);
}

}  // namespace velmora::win32
