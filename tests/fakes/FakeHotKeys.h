#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/HotKeys.h"

namespace velmora::tests {

// Refuses a combination that is already taken, as the system does.
class FakeHotKeys : public IHotKeys {
public:
    std::map<std::int32_t, std::pair<std::uint32_t, std::uint32_t>> registered;
    std::set<std::pair<std::uint32_t, std::uint32_t>> takenElsewhere;
    std::vector<std::int32_t> unregistered;

    bool Register(std::int32_t id, std::uint32_t modifiers, std::uint32_t virtualKey) override
    {
        const auto combination = std::make_pair(modifiers, virtualKey);
        if (takenElsewhere.count(combination) != 0) {
            return false;
        }
        for (const auto& [otherId, other] : registered) {
            if (other == combination) {
                return false;
            }
        }
        registered[id] = combination;
        return true;
    }
    void Unregister(std::int32_t id) override
    {
        unregistered.push_back(id);
        registered.erase(id);
    }
};

}  // namespace velmora::tests
