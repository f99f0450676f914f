#pragma once

// Runs the target window program (TargetWindow.cpp), or an editor of Wine's
// own, in a process of its own and reads what arrives in its edit control.
// Shared by the end-to-end tests and the playback benchmark.

#include <chrono>
#include <string>

#include "e2e/support/Desktop.h"
#include "platform/win32/Handles.h"

namespace velmora::tests {

class TargetProcess {
public:
    // Starts the program and waits for its edit control; throws
    // std::runtime_error when it does not come up.
    TargetProcess(const std::string& exePath, const std::string& title);
    // Starts a program of Wine's own, such as notepad.exe, and waits for its
    // top-level window of windowClass with a child control of editClass.
    TargetProcess(const std::string& program, const char* windowClass, const char* editClass);
    ~TargetProcess();
    TargetProcess(const TargetProcess&) = delete;
    TargetProcess& operator=(const TargetProcess&) = delete;

    HWND Window() const { return m_window; }
    HWND Edit() const { return m_edit; }
    const std::string& Title() const { return m_title; }

    // Brings the window to the front, so injected keys reach its edit control.
    bool Focus(std::chrono::milliseconds timeout = std::chrono::seconds(10));

    std::string Text() const;
    std::size_t TextLength() const;
    void SetText(const std::string& text) const;

    // Polls until the edit holds the expected text, giving up once it has
    // not changed for the timeout; returns the last text read.
    std::string WaitForText(const std::string& expected,
                            std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    // The text as UTF-16, for characters outside the code page.
    std::wstring WideText() const;
    std::wstring WaitForWideText(const std::wstring& expected,
                                 std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    // Polls as fast as it can until the text has at least length characters.
    bool WaitForLength(std::size_t length, std::chrono::milliseconds timeout) const;

private:
    void Start(std::string commandLine, const char* windowClass, const char* editClass);

    std::string m_title;
    win32::UniqueHandle m_process;
    DWORD m_threadId = 0;
    HWND m_window = nullptr;
    HWND m_edit = nullptr;
};

// A title no other target of this run has.
std::string UniqueTargetTitle();

}  // namespace velmora::tests
