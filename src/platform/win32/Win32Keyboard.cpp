#include "platform/win32/Win32Keyboard.h"

#include "platform/win32/Win32.h"

namespace velmora::win32 {

void Win32Keyboard::KeybdEvent(std::uint8_t virtualKey, std::uint32_t flags)
{
    ::keybd_event(virtualKey, 0, flags, 0);
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
