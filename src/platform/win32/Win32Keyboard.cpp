#include "platform/win32/Win32Keyboard.h"

#include "platform/CodePage.h"
#include "platform/win32/Win32.h"

namespace velmora::win32 {

void Win32Keyboard::KeybdEvent(std::uint8_t virtualKey, std::uint32_t flags)
{
    ::keybd_event(virtualKey, 0, flags, 0);
}

void Win32Keyboard::SendUnicode(char32_t character)
{
    constexpr DWORD kUnicodeFlags[] = {KEYEVENTF_UNICODE, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP};
    std::u16string units;
    AppendUtf16(units, character);
    INPUT inputs[4]{};
    UINT used = 0;
    for (const char16_t unit : units) {
        for (const DWORD flags : kUnicodeFlags) {
            inputs[used++] = INPUT{.type = INPUT_KEYBOARD, .ki = {.wVk = 0, .wScan = unit, .dwFlags = flags}};
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
