#pragma once

#include <cstdint>

namespace velmora {

// The user-interface thread's own services.
class IThread {
public:
    virtual ~IThread() = default;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // A steady count of milliseconds (GetTickCount64), for time limits.
    virtual std::uint64_t Milliseconds() = 0;
    // Handles only the messages other threads and programs have sent to the
    // thread's windows (SendMessage) and are waiting on; posted messages,
    // hot keys among them, stay queued. Returns at once when there are none.
    virtual void ServeSentMessages() = 0;
};

}  // namespace velmora
