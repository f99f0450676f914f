#include "e2e/TargetProcess.h"

#include <atomic>
#include <stdexcept>
#include <thread>

namespace velmora::testing {

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

}  // namespace

std::string UniqueTargetTitle()
{
    static std::atomic<int> counter = 0;
    return "Velmora target " + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

TargetProcess::TargetProcess(const std::string& exePath, const std::string& title) : m_title(title)
{
    std::string commandLine = "\"" + exePath + "\" " + title;
    STARTUPINFOA startup{.cb = sizeof(STARTUPINFOA)};
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        throw std::runtime_error("cannot start " + exePath);
    }
    ::CloseHandle(info.hThread);
    m_process = win32::UniqueHandle(info.hProcess);
    // The edit control is made just after its window: wait for both.
    if (!PollUntil(
            [&] {
                m_window = ::FindWindowA("VelmoraTarget", m_title.c_str());
                m_edit = m_window ? ::FindWindowExA(m_window, nullptr, "Edit", nullptr) : nullptr;
                return m_edit != nullptr;
            },
            30s, 10ms)) {
        throw std::runtime_error("the target window never appeared");
    }
    m_threadId = ::GetWindowThreadProcessId(m_window, nullptr);
}

TargetProcess::~TargetProcess()
{
    // Not WM_CLOSE: without a window manager Wine takes two seconds to
    // destroy a captioned window, and the target has nothing to save.
    ::TerminateProcess(m_process.Get(), 0);
    ::WaitForSingleObject(m_process.Get(), 10000);
}

bool TargetProcess::Focus(std::chrono::milliseconds timeout)
{
    // Under Wine without a window manager this is enough for injected keys,
    // which follow Wine's own foreground window, not the X input focus.
    ::SetForegroundWindow(m_window);
    return PollUntil(
        [&] {
            GUITHREADINFO info{.cbSize = sizeof(GUITHREADINFO)};
            return ::GetForegroundWindow() == m_window && ::GetGUIThreadInfo(m_threadId, &info) &&
                   info.hwndFocus == m_edit;
        },
        timeout, 10ms);
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
    std::string text;
    PollUntil([&] { return (text = Text()) == expected; }, timeout, 10ms);
    return text;
}

bool TargetProcess::WaitForLength(std::size_t length, std::chrono::milliseconds timeout) const
{
    return PollUntil([&] { return TextLength() >= length; }, timeout, 1ms);
}

}  // namespace velmora::testing
