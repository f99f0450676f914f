#pragma once

// Synthesised keyboard input and key state. Virtual-key codes and flags carry
// the Windows values so the engine can be written against them anywhere.

#include <cstdint>

namespace velmora {

namespace vk {
inline constexpr std::uint8_t Back = 0x08;
inline constexpr std::uint8_t Tab = 0x09;
inline constexpr std::uint8_t Return = 0x0D;
inline constexpr std::uint8_t Shift = 0x10;
inline constexpr std::uint8_t Control = 0x11;
inline constexpr std::uint8_t Menu = 0x12;  // Alt
inline constexpr std::uint8_t Capital = 0x14;
inline constexpr std::uint8_t Escape = 0x1B;
inline constexpr std::uint8_t Space = 0x20;
inline constexpr std::uint8_t Prior = 0x21;
inline constexpr std::uint8_t Next = 0x22;
inline constexpr std::uint8_t End = 0x23;
inline constexpr std::uint8_t Home = 0x24;
inline constexpr std::uint8_t Left = 0x25;
inline constexpr std::uint8_t Up = 0x26;
inline constexpr std::uint8_t Right = 0x27;
inline constexpr std::uint8_t Down = 0x28;
inline constexpr std::uint8_t Insert = 0x2D;
inline constexpr std::uint8_t Delete = 0x2E;
inline constexpr std::uint8_t V = 0x56;
inline constexpr std::uint8_t LWin = 0x5B;
inline constexpr std::uint8_t RWin = 0x5C;
inline constexpr std::uint8_t Apps = 0x5D;
inline constexpr std::uint8_t Numpad0 = 0x60;
inline constexpr std::uint8_t F1 = 0x70;
}  // namespace vk

inline constexpr std::uint32_t kKeyEventExtendedKey = 0x1;
inline constexpr std::uint32_t kKeyEventKeyUp = 0x2;

// VkKeyScanA's answer: low byte the key, then the modifiers it needs.
inline constexpr std::uint16_t kScanShift = 0x100;
inline constexpr std::uint16_t kScanCtrl = 0x200;
inline constexpr std::uint16_t kScanAlt = 0x400;

class IKeyboard {
public:
    virtual ~IKeyboard() = default;
    // One keybd_event with scan code 0 and extra information 0.
    virtual void KeybdEvent(std::uint8_t virtualKey, std::uint32_t flags) = 0;
    // Types one character as Unicode input (SendInput with KEYEVENTF_UNICODE):
    // a down and an up event for each UTF-16 unit, a character above FFFF as
    // its two surrogates, all in one call so no other input comes between
    // them. No key of the key state goes down.
    virtual void SendUnicode(char32_t character) = 0;
    // VkKeyScanA for the current layout: -1 when no key types the character.
    virtual std::int16_t ScanCharacter(char character) = 0;
    // The top bit of GetAsyncKeyState: the key is down now.
    virtual bool IsKeyDown(std::uint8_t virtualKey) = 0;
    // The low bit of GetKeyState: the key's toggle (CapsLock) is on.
    virtual bool IsKeyToggled(std::uint8_t virtualKey) = 0;
};

}  // namespace velmora
