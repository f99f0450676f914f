#pragma once

#include "platform/Keyboard.h"

namespace velmora::win32 {

class Win32Keyboard : public IKeyboard {
public:
    std::size_t Send(std::span<const KeyInput> events) override;
    std::uint16_t ScanCode(std::uint8_t virtualKey) override;
    std::int16_t ScanCharacter(char character) override;
    bool IsKeyDown(std::uint8_t virtualKey) override;
    bool IsKeyToggled(std::uint8_t virtualKey) override;
    ForegroundWindow Foreground() override;
    ProcessStanding OwnStanding() override;
};

}  // namespace velmora::win32
