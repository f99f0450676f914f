#pragma once

// Synthesised keyboard input and key state. Virtual-key codes and flags carry
// the Windows values so the engine can be written against them anywhere.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

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
inline constexpr std::uint8_t Divide = 0x6F;
inline constexpr std::uint8_t NumLock = 0x90;
inline constexpr std::uint8_t LShift = 0xA0;
inline constexpr std::uint8_t RShift = 0xA1;
inline constexpr std::uint8_t LControl = 0xA2;
inline constexpr std::uint8_t RControl = 0xA3;
inline constexpr std::uint8_t LMenu = 0xA4;
inline constexpr std::uint8_t RMenu = 0xA5;
}  // namespace vk

inline constexpr std::uint32_t kKeyEventExtendedKey = 0x1;
inline constexpr std::uint32_t kKeyEventKeyUp = 0x2;
// The event types a UTF-16 unit (scanCode) rather than pressing a key.
inline constexpr std::uint32_t kKeyEventUnicode = 0x4;

// Every event the program sends carries this as its extra information, so an
// input hook can tell the program's keys from the user's.
inline constexpr std::uintptr_t kOwnInputMark = 0x564C4D52;  // "VLMR"

// One keyboard event as SendInput takes it.
struct KeyInput {
    std::uint8_t virtualKey = 0;
    // The key's scan code on the current layout (without its E0 prefix), or
    // the UTF-16 unit of a Unicode event.
    std::uint16_t scanCode = 0;
    std::uint32_t flags = 0;
    std::uintptr_t extraInfo = 0;
    bool operator==(const KeyInput&) const = default;
};

// How far a process is trusted, as far as whether it takes another's input.
struct ProcessStanding {
    // False when its process or token could not be read.
    bool known = false;
    // The mandatory integrity level's RID (0x2000 medium, 0x3000 high).
    std::uint32_t integrity = 0;
    bool elevated = false;
};

// The window that has the keyboard now.
struct ForegroundWindow {
    bool exists = false;
    // It belongs to this program.
    bool own = false;
    ProcessStanding standing;
    std::u16string title;
};

// VkKeyScanA's answer: low byte the key, then the modifiers it needs.
inline constexpr std::uint16_t kScanShift = 0x100;
inline constexpr std::uint16_t kScanCtrl = 0x200;
inline constexpr std::uint16_t kScanAlt = 0x400;

class IKeyboard {
public:
    virtual ~IKeyboard() = default;
    // One SendInput call: the system puts no other input, the user's
    // included, between these events. Returns how many it took; fewer than
    // given when something blocked them.
    virtual std::size_t Send(std::span<const KeyInput> events) = 0;
    // MapVirtualKeyW with MAPVK_VK_TO_VSC_EX: the key's scan code on the
    // current layout, with E0 in the high byte for an extended key; 0 when
    // the layout has none.
    virtual std::uint16_t ScanCode(std::uint8_t virtualKey) = 0;
    // VkKeyScanA for the current layout: -1 when no key types the character.
    virtual std::int16_t ScanCharacter(char character) = 0;
    // The top bit of GetAsyncKeyState: the key is down now.
    virtual bool IsKeyDown(std::uint8_t virtualKey) = 0;
    // The low bit of GetKeyState: the key's toggle (CapsLock) is on.
    virtual bool IsKeyToggled(std::uint8_t virtualKey) = 0;
    // The window typed keys would reach, and its process's standing.
    virtual ForegroundWindow Foreground() = 0;
    // This program's own standing.
    virtual ProcessStanding OwnStanding() = 0;
};

}  // namespace velmora
