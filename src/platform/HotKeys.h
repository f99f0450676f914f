#pragma once

// System-wide hot keys, registered for the main window.

#include <cstdint>

namespace velmora {

inline constexpr std::uint32_t kModAlt = 1;
inline constexpr std::uint32_t kModControl = 2;
inline constexpr std::uint32_t kModShift = 4;
inline constexpr std::uint32_t kModWin = 8;
// A key held down does not repeat the hot key (Windows 7 on; ignored by Wine).
inline constexpr std::uint32_t kModNoRepeat = 0x4000;

class IHotKeys {
public:
    virtual ~IHotKeys() = default;
    // RegisterHotKey: false when the combination is taken or refused.
    virtual bool Register(std::int32_t id, std::uint32_t modifiers, std::uint32_t virtualKey) = 0;
    // UnregisterHotKey; harmless for an identifier that is not registered.
    virtual void Unregister(std::int32_t id) = 0;
    // Takes every hot key still waiting in the queue off it unhandled.
    virtual void DiscardQueued() = 0;
};

}  // namespace velmora
