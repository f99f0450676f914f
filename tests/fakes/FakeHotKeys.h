#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/HotKeys.h"

namespace velmora::tests {

// Refuses a combination that is already taken, as the system does; the
// no-repeat flag makes no other combination.
class FakeHotKeys : public IHotKeys {
public:
    std::map<std::int32_t, std::pair<std::uint32_t, std::uint32_t>> registered;
    std::set<std::pair<std::uint32_t, std::uint32_t>> takenElsewhere;
    std::vector<std::int32_t> unregistered;
    // Presses waiting in the message queue as WM_HOTKEY messages.
    std::vector<std::int32_t> queued;

    bool Register(std::int32_t id, std::uint32_t modifiers, std::uint32_t virtualKey) override
    {
        const auto combination = std::make_pair(modifiers & ~kModNoRepeat, virtualKey);
        if (takenElsewhere.count(combination) != 0) {
            return false;
        }
        for (const auto& [otherId, other] : registered) {
            if (std::make_pair(other.first & ~kModNoRepeat, other.second) == combination) {
                return false;
            }
        }
        registered[id] = {modifiers, virtualKey};
        return true;
    }
    void Unregister(std::int32_t id) override
    {
        unregistered.push_back(id);
        registered.erase(id);
    }
    void DiscardQueued() override { queued.clear(); }
};

}  // namespace velmora::tests
