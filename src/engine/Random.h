#pragma once

#include <cstdint>

namespace velmora {

// The macro texts' random numbers. Never seeded: every start of the program
// gives the same sequence, which users of the random tags may rely on.
class RandomGenerator {
public:
    // A number below range (taken as an unsigned count; 0 gives 0).
    std::uint32_t Next(std::uint32_t range)
    {
        m_seed = m_seed * 134775813u + 1u;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(m_seed) * range) >> 32);
    }

private:
    std::uint32_t m_seed = 0;
};

}  // namespace velmora
