#include "platform/win32/Win32Keyboard.h"

#include "platform/win32/Win32.h"

namespace velmora::win32 {

void Win32Keyboard::KeybdEvent(std::uint8_t virtualKey, std::uint32_t flags)
{
    ::keybd_event(virtualKey, 0, flags, 0);
}

void Win32Keyboard::SendUnicode(char32_t character)
{
    constexpr DWORD kUnicodeFlags[] = {KEYEVENTF_UNICODE, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP};
    wchar_t units[2] = {static_cast<wchar_t>(character), 0};
    std::size_t count = 1;
    if (character > 0xFFFF) {
        const char32_t offset = character - 0x10000;
        units[0] = static_cast<wchar_t>(0xD800 + (offset >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + (offset & 0x3FF));
        count = 2;
    }
    INPUT inputs[4]{};
    UINT used = 0;
    for (std::size_t i = 0; i < count; ++i) {
        for (const DWORD flags : kUnicodeFlags) {
            inputs[used++] = INPUT{.type = INPUT_KEYBOARD, .ki = {.wVk = 0, .wScan = units[i], .dwFlags = flags}};
        }
    }
    // Like keybd_event, a refusal (a window of higher integrity) is silent.
    ::SendInput(used, inputs, sizeof(INPUT));
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

}  // namespace velmora::win32
