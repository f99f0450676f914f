#pragma once

#include "platform/Keyboard.h"

namespace velmora::win32 {

class Win32Keyboard : public IKeyboard {
public:
    void KeybdEvent(std::uint8_t virtualKey, std::uint32_t flags) override;
    void SendUnicode(char32_t character) override;
    std::int16_t ScanCharacter(char character) override;
    bool IsKeyDown(std::uint8_t virtualKey) override;
    bool IsKeyToggled(std::uint8_t virtualKey) override;
};

}  // namespace velmora::win32
