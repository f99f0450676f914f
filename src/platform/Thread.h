#pragma once

#include <cstdint>

namespace velmora {

// The user-interface thread's own services.
class IThread {
public:
    virtual ~IThread() = default;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Handles every message waiting for the thread, then returns.
    virtual void PumpMessages() = 0;
};

}  // namespace velmora
