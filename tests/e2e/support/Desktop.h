#pragma once

// The windows of other processes as a test reads them, and the user's own
// input: keys, mouse clicks and switching to a window, given through Wine or
// the X server. Every end-to-end program and the playback benchmark share it.

#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/win32/Win32.h"
#include "windows/WindowTestSupport.h"

namespace velmora::tests {

// The top-level windows of the process with this class (any when null) and caption.
std::vector<HWND> ProcessWindows(DWORD processId, const char* className, const char* title = nullptr);
// The first of them, or nullptr.
HWND FindProcessWindow(DWORD processId, const char* className, const char* title = nullptr);
// The first that is visible, or nullptr.
HWND FindVisibleWindow(DWORD processId, const char* className, const char* title = nullptr);

// The first direct child of the class, such as the one field of a small dialog.
HWND ChildOfClass(HWND window, const char* className);

// The text of a message box: its static controls, joined.
std::string DialogText(HWND dialog);
// The entries of another process's list box or drop-down list.
std::vector<std::string> ListBoxEntries(HWND list);
std::vector<std::string> ComboEntries(HWND combo);
// The same as UTF-16, for a Unicode list box.
std::vector<std::u16string> WideListBoxEntries(HWND list);
// The rows of another process's list view: one column's texts, the row's
// place in the list's client area, and selecting it as a click does.
std::vector<std::u16string> WideListViewEntries(HWND list, int column = 0);
// In the code page, like ListBoxEntries.
std::vector<std::string> ListViewEntries(HWND list, int column = 0);
RECT ListViewRowRect(HWND list, int row);
void SelectListViewRow(HWND list, int row);
bool Checked(HWND button);

// The control with the keyboard focus in the window's thread, or nullptr.
HWND FocusOf(HWND window);

// Starts a program of the host system; Wine starts those like its own, but
// their end cannot be waited for, so a test watches for the result instead.
bool StartHostProgram(std::string commandLine);

// Presses the keys in order and lets them go in reverse, through Wine's
// input, so they reach the foreground window as a user's would.
void Press(std::initializer_list<BYTE> keys);
// Types the characters of the keyboard layout one key at a time, with Shift where needed.
void TypeKeys(const std::string& text);
// Presses keys as the user does, through the X server into the window with
// the X focus: combinations of xdotool's key names apart by spaces, such as
// "ctrl+shift+k ctrl+shift+k", each key down a moment after the one before
// it and held until the last is let go. Returns once the X server has taken
// them all; false when that did not happen in time.
bool PressOnTheXServer(const std::string& keys, std::chrono::milliseconds timeout = std::chrono::seconds(10));

POINT Middle(const RECT& rect);
// A left click through the X server, as the user's mouse gives it.
bool ClickWithMouse(POINT screen);
// A click in the middle of the window or control, or on a check box's own
// square at its left end.
bool ClickOn(HWND window, bool leftEnd = false);

// Runs xdotool with %1 standing for the window's X window ("mousemove
// --window %1 10 10 click 1") once the X server shows it, and waits for its
// end. False when that X window is not shown, went away, or xdotool did not
// end in time: the caller looks the window up again and retries.
bool Xdotool(HWND window, const std::string& command,
             std::chrono::milliseconds timeout = std::chrono::seconds(30));

// Activates the window as Alt+Tab or a click on its title would: through the
// window manager, which gives its X window the focus. Returns once Wine has
// made it the foreground window; false when it did not in time.
bool Activate(HWND window, std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Minimises the window as a user can: through the window manager, as its
// title bar's button would, or, for a window without that button (which the
// window manager refuses), as the shell's "minimise all" (Win+M) does. False
// when Wine did not see it minimised in time.
bool Minimize(HWND window, std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Memory in another process, for a message that answers through a pointer
// the system does not carry across processes.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, std::size_t size);
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory();

    LPARAM Address() const { return reinterpret_cast<LPARAM>(m_address); }

    template <typename T>
    T Read() const
    {
        T value{};
        ReadInto(&value, sizeof value);
        return value;
    }
    void ReadInto(void* value, std::size_t size, std::size_t offset = 0) const;
    // Fills its start, for a message that reads through the pointer.
    void Write(const void* value, std::size_t size) const;

private:
    HANDLE m_process;
    void* m_address;
};

}  // namespace velmora::tests
