#include "e2e/support/Desktop.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform/win32/Handles.h"
#include "support/TestVectors.h"
#include "support/WaitFor.h"

namespace velmora::tests {

namespace {

std::string ClassOf(HWND window)
{
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

// A top-level window's caption. Of another process's window the system reads
// it without a message; of a window of this process it sends one, which a
// busy thread might never answer, so it is asked for only when needed.
std::string CaptionOf(HWND window)
{
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// Wine 8 copies a list entry of another process as wide characters even
// into an ANSI call, so the entries are read wide and converted.
std::string Narrow(const std::wstring& wide)
{
    std::string text(wide.size() * 2 + 1, '\0');
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(),
                                             static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

std::vector<std::u16string> WideListEntries(HWND control, UINT countMessage, UINT lengthMessage, UINT textMessage)
{
    std::vector<std::u16string> entries;
    const LRESULT count = ::SendMessageW(control, countMessage, 0, 0);
    for (WPARAM i = 0; i < static_cast<WPARAM>(std::max<LRESULT>(count, 0)); ++i) {
        const LRESULT length = ::SendMessageW(control, lengthMessage, i, 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        const LRESULT copied = ::SendMessageW(control, textMessage, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
        entries.emplace_back(text.begin(), text.end());
    }
    return entries;
}

std::vector<std::string> ListEntries(HWND control, UINT countMessage, UINT lengthMessage, UINT textMessage)
{
    std::vector<std::string> entries;
    for (const std::u16string& entry : WideListEntries(control, countMessage, lengthMessage, textMessage)) {
        entries.push_back(Narrow({entry.begin(), entry.end()}));
    }
    return entries;
}

// Runs a line of the host's shell and waits for its exit status (nothing
// when it did not end in time). Wine gives no handle to wait on for a host
// program, so the shell renames a status file into place.
std::optional<int> RunHostShell(const std::string& script, std::chrono::milliseconds timeout)
{
    static std::mt19937_64 random{std::random_device{}()};
    const std::string status = "/tmp/velmora-status-" + std::to_string(random());
    std::string quoted;
    for (const char c : script + "; echo $? >" + status + ".part && mv " + status + ".part " + status) {
        if (c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    if (!StartHostProgram("/bin/sh -c \"" + quoted + "\"")) {
        return std::nullopt;
    }
    const std::string file = HostPath(status);
    std::optional<int> code;
    WaitFor(
        [&] {
            int value = 0;
            if (std::ifstream(file) >> value) {
                code = value;
            }
            return code.has_value();
        },
        timeout);
    ::DeleteFileA(file.c_str());
    return code;
}

// How long Wine may take to see what the X server did before a round is
// given again.
constexpr std::chrono::milliseconds kFollow{2000};

std::chrono::milliseconds Left(std::chrono::steady_clock::time_point deadline)
{
    return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()),
                    std::chrono::milliseconds(0));
}

// Runs the xdotool command on the window's X window, at least once, until
// the condition holds. Each round looks the X window up again: Wine may give
// the window a new one, or show it before the window manager has mapped it.
bool XdotoolUntil(HWND window, const std::string& command, const std::function<bool()>& done,
                  std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool given = false;
    return WaitFor(
        [&] {
            if (given && done()) {
                return true;
            }
            given = Xdotool(window, command, Left(deadline)) || given;
            return given && WaitFor(done, std::min(Left(deadline), kFollow));
        },
        timeout);
}

// The process that owns the window, for RemoteMemory.
win32::UniqueHandle ProcessOf(HWND window)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    return win32::UniqueHandle(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
}

}  // namespace

std::vector<HWND> ProcessWindows(DWORD processId, const char* className, const char* title)
{
    struct Search {
        DWORD processId;
        const char* className;
        const char* title;
        std::vector<HWND> found;
    } search{processId, className, title, {}};
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == s.processId && (s.className == nullptr || ClassOf(window) == s.className) &&
                (s.title == nullptr || CaptionOf(window) == s.title)) {
                s.found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* title)
{
    const std::vector<HWND> windows = ProcessWindows(processId, className, title);
    return windows.empty() ? nullptr : windows.front();
}

HWND FindVisibleWindow(DWORD processId, const char* className, const char* title)
{
    for (const HWND window : ProcessWindows(processId, className, title)) {
        if (::IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

HWND ChildOfClass(HWND window, const char* className)
{
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::lstrcmpiA(ClassOf(child).c_str(), className) == 0) {
            return child;
        }
    }
    return nullptr;
}

std::string DialogText(HWND dialog)
{
    std::string text;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "Static") {
            char part[1024] = {};
            ::GetWindowTextA(child, part, sizeof part);
            text += part;
        }
    }
    return text;
}

std::vector<std::string> ListBoxEntries(HWND list)
{
    return ListEntries(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<std::string> ComboEntries(HWND combo)
{
    return ListEntries(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::vector<std::u16string> WideListBoxEntries(HWND list)
{
    return WideListEntries(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<std::u16string> WideListViewEntries(HWND list, int column)
{
    constexpr int kChars = 1024;
    const win32::UniqueHandle process = ProcessOf(list);
    const RemoteMemory memory(process.Get(), sizeof(LVITEMW) + kChars * sizeof(char16_t));
    std::vector<std::u16string> entries;
    const auto count = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        const LVITEMW item{.iSubItem = column,
                           .pszText = reinterpret_cast<LPWSTR>(memory.Address() + LPARAM{sizeof(LVITEMW)}),
                           .cchTextMax = kChars};
        memory.Write(&item, sizeof item);
        const auto length = ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), memory.Address());
        std::u16string text(static_cast<std::size_t>(std::clamp<LRESULT>(length, 0, kChars)), u'\0');
        memory.ReadInto(text.data(), text.size() * sizeof(char16_t), sizeof(LVITEMW));
        entries.push_back(std::move(text));
    }
    return entries;
}

std::vector<std::string> ListViewEntries(HWND list, int column)
{
    std::vector<std::string> entries;
    for (const std::u16string& wide : WideListViewEntries(list, column)) {
        const auto* chars = reinterpret_cast<LPCWCH>(wide.data());
        const int size = static_cast<int>(wide.size());
        std::string text(
            static_cast<std::size_t>(::WideCharToMultiByte(CP_ACP, 0, chars, size, nullptr, 0, nullptr, nullptr)),
            '\0');
        ::WideCharToMultiByte(CP_ACP, 0, chars, size, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
        entries.push_back(std::move(text));
    }
    return entries;
}

RECT ListViewRowRect(HWND list, int row)
{
    const win32::UniqueHandle process = ProcessOf(list);
    const RemoteMemory memory(process.Get(), sizeof(RECT));
    const RECT bounds{.left = LVIR_BOUNDS};
    memory.Write(&bounds, sizeof bounds);
    ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), memory.Address());
    return memory.Read<RECT>();
}

void SelectListViewRow(HWND list, int row)
{
    const win32::UniqueHandle process = ProcessOf(list);
    const RemoteMemory memory(process.Get(), sizeof(LVITEMW));
    const LVITEMW item{.state = LVIS_SELECTED | LVIS_FOCUSED, .stateMask = LVIS_SELECTED | LVIS_FOCUSED};
    memory.Write(&item, sizeof item);
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), memory.Address());
}

bool Checked(HWND button)
{
    return ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{.cbSize = sizeof(GUITHREADINFO)};
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool StartHostProgram(std::string commandLine)
{
    STARTUPINFOA startup{.cb = sizeof(STARTUPINFOA)};
    PROCESS_INFORMATION info{};
    // Wine 8 starts a Unix program without a process or thread of its own
    // and leaves the two handles as whatever its stack held: closing them
    // closed one of this process's own handles (standard output, a file
    // being read, the program under test), so they are left alone.
    return ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &info) != FALSE;
}

void Press(std::initializer_list<BYTE> keys)
{
    for (const BYTE key : keys) {
        ::keybd_event(key, 0, 0, 0);
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        ::keybd_event(*key, 0, KEYEVENTF_KEYUP, 0);
    }
}

void TypeKeys(const std::string& text)
{
    for (const char c : text) {
        const SHORT scan = ::VkKeyScanA(c);
        const auto key = static_cast<BYTE>(scan & 0xFF);
        if ((scan & 0x100) != 0) {
            Press({VK_SHIFT, key});
        } else {
            Press({key});
        }
    }
}

bool PressOnTheXServer(const std::string& keys, std::chrono::milliseconds timeout)
{
    // xdotool's "key shift+ctrl+k" would give all three at the same instant;
    // a user's fingers are a moment apart, the modifiers held first.
    std::string command = "/usr/bin/xdotool";
    std::istringstream combinations(keys);
    for (std::string combination; combinations >> combination;) {
        std::istringstream parts(combination);
        std::vector<std::string> held;
        for (std::string part; std::getline(parts, part, '+');) {
            held.push_back(part);
        }
        const std::string key = held.back();
        held.pop_back();
        for (const std::string& modifier : held) {
            command += " keydown " + modifier + " sleep 0.05";
        }
        command += " key " + key + " sleep 0.05";
        for (auto modifier = held.rbegin(); modifier != held.rend(); ++modifier) {
            command += " keyup " + *modifier;
        }
    }
    return RunHostShell(command, timeout) == 0;
}

POINT Middle(const RECT& rect)
{
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool ClickWithMouse(POINT screen)
{
    // Waited for, so the click comes before whatever the test does next.
    // The click follows the move on the same connection, so no --sync, which
    // would wait forever when the pointer is there already.
    return RunHostShell("/usr/bin/xdotool mousemove " + std::to_string(screen.x) + " " +
                            std::to_string(screen.y) + " click 1",
                        std::chrono::seconds(30)) == 0;
}

bool ClickOn(HWND window, bool leftEnd)
{
    RECT place{};
    return ::GetWindowRect(window, &place) &&
           ClickWithMouse({leftEnd ? place.left + 6 : Middle(place).x, Middle(place).y});
}

bool Xdotool(HWND window, const std::string& command, std::chrono::milliseconds timeout)
{
    // Wine keeps the X window of each top-level window in this property.
    const auto xWindow = reinterpret_cast<std::uintptr_t>(::GetPropA(window, "__wine_x11_whole_window"));
    if (xWindow == 0) {
        return false;
    }
    const std::string id = std::to_string(xWindow);
    std::string line = command;
    for (std::size_t at = line.find("%1"); at != std::string::npos; at = line.find("%1", at)) {
        line.replace(at, 2, id);
    }
    return RunHostShell("xwininfo -id " + id + " 2>/dev/null | grep -q IsViewable && /usr/bin/xdotool " + line,
                        timeout) == 0;
}

bool Activate(HWND window, std::chrono::milliseconds timeout)
{
    return XdotoolUntil(
        window, "windowactivate --sync %1", [&] { return ::GetForegroundWindow() == window; }, timeout);
}

bool Minimize(HWND window, std::chrono::milliseconds timeout)
{
    const auto minimised = [&] { return ::IsIconic(window) != FALSE; };
    if ((::GetWindowLongPtrA(window, GWL_STYLE) & WS_MINIMIZEBOX) != 0) {
        return XdotoolUntil(window, "windowminimize --sync %1", minimised, timeout);
    }
    return ::ShowWindowAsync(window, SW_SHOWMINNOACTIVE) != FALSE && WaitFor(minimised, timeout);
}

RemoteMemory::RemoteMemory(HANDLE process, std::size_t size)
    : m_process(process),
      m_address(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
{
    if (m_address == nullptr) {
        throw std::runtime_error("no memory in the other process");
    }
}

RemoteMemory::~RemoteMemory()
{
    ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
}

void RemoteMemory::ReadInto(void* value, std::size_t size, std::size_t offset) const
{
    if (!::ReadProcessMemory(m_process, static_cast<char*>(m_address) + offset, value, size, nullptr)) {
        throw std::runtime_error("cannot read the other process's memory");
    }
}

void RemoteMemory::Write(const void* value, std::size_t size) const
{
    if (!::WriteProcessMemory(m_process, m_address, value, size, nullptr)) {
        throw std::runtime_error("cannot write the other process's memory");
    }
}

}  // namespace velmora::tests
