#pragma once

// System-wide hot keys, registered for the main window.

#include <cstdint>

namespace velmora {

inline constexpr std::uint32_t kModAlt = 1;
inline constexpr std::uint32_t kModControl = 2;
inline constexpr std::uint32_t kModShift = 4;
inline constexpr std::uint32_t kModWin = 8;

class IHotKeys {
public:
    virtual ~IHotKeys() = default;
    // RegisterHotKey: false when the combination is taken or refused.
    virtual bool Register(std::int32_t id, std::uint32_t modifiers, std::uint32_t virtualKey) = 0;
    // UnregisterHotKey; harmless for an identifier that is not registered.
    virtual void Unregister(std::int32_t id) = 0;
};

}  // namespace velmora
