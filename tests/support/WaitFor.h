#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace velmora::tests {

// Polls until the condition holds or the time is up; tests wait for a state,
// never for a fixed time.
inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds timeout = std::chrono::seconds(30))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace velmora::tests
