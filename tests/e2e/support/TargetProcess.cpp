#include "e2e/support/TargetProcess.h"

#include <atomic>
#include <stdexcept>
#include <thread>
#include <utility>

namespace velmora::tests {

namespace {

using namespace std::chrono_literals;

template <typename Condition>
bool PollUntil(Condition condition, std::chrono::milliseconds timeout, std::chrono::milliseconds interval)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(interval);
    }
    return true;
}

// Polls until read() gives the expected value, and gives up only once that
// has not changed for the timeout: a run that keeps typing is slow under
// load, not stuck. Returns the last value read.
template <typename Read, typename Value>
Value WhileChanging(Read read, const Value& expected, std::chrono::milliseconds timeout)
{
    Value value = read();
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (value != expected && std::chrono::steady_clock::now() <= deadline) {
        std::this_thread::sleep_for(10ms);
        Value next = read();
        if (next != value) {
            deadline = std::chrono::steady_clock::now() + timeout;
            value = std::move(next);
        }
    }
    return value;
}

}  // namespace

std::string UniqueTargetTitle()
{
    static std::atomic<int> counter = 0;
    return "Velmora target " + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

TargetProcess::TargetProcess(const std::string& exePath, const std::string& title) : m_title(title)
{
    Start("\"" + exePath + "\" " + title, "VelmoraTarget", "Edit");
}

TargetProcess::TargetProcess(const std::string& program, const char* windowClass, const char* editClass)
{
    Start(program, windowClass, editClass);
    char title[256] = {};
    ::GetWindowTextA(m_window, title, sizeof title);
    m_title = title;
}

void TargetProcess::Start(std::string commandLine, const char* windowClass, const char* editClass)
{
    STARTUPINFOA startup{.cb = sizeof(STARTUPINFOA)};
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        const DWORD error = ::GetLastError();
        throw std::runtime_error("cannot start " + commandLine + ": error " + std::to_string(error));
    }
    ::CloseHandle(info.hThread);
    m_process = win32::UniqueHandle(info.hProcess);
    // The edit control is made just after its window: wait for both.
    if (!PollUntil(
            [&] {
                m_window = FindProcessWindow(info.dwProcessId, windowClass,
                                             m_title.empty() ? nullptr : m_title.c_str());
                m_edit = m_window ? ::FindWindowExA(m_window, nullptr, editClass, nullptr) : nullptr;
                return m_edit != nullptr;
            },
            30s, 10ms)) {
        throw std::runtime_error("the window of " + commandLine + " never appeared");
    }
    m_threadId = ::GetWindowThreadProcessId(m_window, nullptr);
}

TargetProcess::~TargetProcess()
{
    // The target has nothing to save.
    ::TerminateProcess(m_process.Get(), 0);
    ::WaitForSingleObject(m_process.Get(), 10000);
}

bool TargetProcess::Focus(std::chrono::milliseconds timeout)
{
    // As the user switches to it, through the window manager.
    Activate(m_window, timeout);
    const auto focused = [&] {
        GUITHREADINFO info{.cbSize = sizeof(GUITHREADINFO)};
        return ::GetForegroundWindow() == m_window && ::GetGUIThreadInfo(m_threadId, &info) &&
               info.hwndFocus == m_edit;
    };
    // The window manager may still hand the focus on after a window closed
    // before this one came up; a change in the middle of a run lets go of
    // the keys it holds. So the focus must stay put for a moment.
    const auto steadily = [&] {
        int steady = 0;
        return PollUntil(
            [&] {
                steady = focused() ? steady + 1 : 0;
                return steady >= 20;
            },
            timeout, 10ms);
    };
    // A message through the target's own queue wakes it to handle what the
    // window manager still had queued for it: a late "take focus" would
    // otherwise move the foreground back here in the middle of the test.
    return steadily() &&
           ::SendMessageTimeoutA(m_window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeout.count()),
                                 nullptr) != 0 &&
           steadily();
}

std::size_t TargetProcess::TextLength() const
{
    return static_cast<std::size_t>(::SendMessageA(m_edit, WM_GETTEXTLENGTH, 0, 0));
}

std::string TargetProcess::Text() const
{
    std::string text(TextLength() + 1, '\0');
    const auto copied = ::SendMessageA(m_edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

void TargetProcess::SetText(const std::string& text) const
{
    ::SendMessageA(m_edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string TargetProcess::WaitForText(const std::string& expected, std::chrono::milliseconds timeout) const
{
    return WhileChanging([&] { return Text(); }, expected, timeout);
}

std::wstring TargetProcess::WideText() const
{
    std::wstring text(static_cast<std::size_t>(::SendMessageW(m_edit, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    const auto copied = ::SendMessageW(m_edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::wstring TargetProcess::WaitForWideText(const std::wstring& expected, std::chrono::milliseconds timeout) const
{
    return WhileChanging([&] { return WideText(); }, expected, timeout);
}

bool TargetProcess::WaitForLength(std::size_t length, std::chrono::milliseconds timeout) const
{
    return PollUntil([&] { return TextLength() >= length; }, timeout, 1ms);
}

}  // namespace velmora::tests
