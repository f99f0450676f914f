#include "platform/win32/Win32Keyboard.h"

#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32.h"

namespace velmora::win32 {

namespace {

// What the process's token says; unknown when it cannot be opened, which a
// process above this one may well refuse.
ProcessStanding StandingOf(HANDLE process)
{
    HANDLE rawToken = nullptr;
    if (process == nullptr || !::OpenProcessToken(process, TOKEN_QUERY, &rawToken)) {
        return {};
    }
    const UniqueHandle token(rawToken);
    ProcessStanding standing{.known = true};
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (::GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size)) {
        standing.elevated = elevation.TokenIsElevated != 0;
    }
    ::GetTokenInformation(token.Get(), TokenIntegrityLevel, nullptr, 0, &size);
    std::vector<BYTE> label(size);
    if (size == 0 || !::GetTokenInformation(token.Get(), TokenIntegrityLevel, label.data(), size, &size)) {
        return {};
    }
    const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
    const UCHAR count = *::GetSidSubAuthorityCount(sid);
    standing.integrity = count == 0 ? 0 : *::GetSidSubAuthority(sid, count - 1u);
    return standing;
}

}  // namespace

std::size_t Win32Keyboard::Send(std::span<const KeyInput> events)
{
    std::vector<INPUT> inputs;
    inputs.reserve(events.size());
    for (const KeyInput& event : events) {
        inputs.push_back(INPUT{.type = INPUT_KEYBOARD,
                               .ki = {.wVk = event.virtualKey,
                                      .wScan = event.scanCode,
                                      .dwFlags = event.flags,
                                      .dwExtraInfo = event.extraInfo}});
    }
    if (inputs.empty()) {
        return 0;
    }
    return ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::uint16_t Win32Keyboard::ScanCode(std::uint8_t virtualKey)
{
    return static_cast<std::uint16_t>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC_EX));
}

std::int16_t Win32Keyboard::ScanCharacter(char character)
{
    return ::VkKeyScanA(character);
}

bool Win32Keyboard::IsKeyDown(std::uint8_t virtualKey)
{
    return (static_cast<unsigned short>(::GetAsyncKeyState(virtualKey)) & 0x8000u) != 0;
}

bool Win32Keyboard::IsKeyToggled(std::uint8_t virtualKey)
{
    return (::GetKeyState(virtualKey) & 1) != 0;
}

ForegroundWindow Win32Keyboard::Foreground()
{
    const HWND window = ::GetForegroundWindow();
    DWORD processId = 0;
    if (window == nullptr || ::GetWindowThreadProcessId(window, &processId) == 0) {
        return {};
    }
    ForegroundWindow foreground{.exists = true, .own = processId == ::GetCurrentProcessId()};
    std::wstring title(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(::GetWindowTextW(window, title.data(), static_cast<int>(title.size()))));
    foreground.title.assign(title.begin(), title.end());
    if (!foreground.own) {
        const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
        foreground.standing = StandingOf(process.Get());
    }
    return foreground;
}

ProcessStanding Win32Keyboard::OwnStanding()
{
    return StandingOf(::GetCurrentProcess());
}

}  // namespace velmora::win32
