#include "support/FailingAllocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> g_countdown{-1};
}

namespace velmora::tests {

void FailAllocationAfter(long count)
{
    g_countdown = count;
}

bool DisarmAllocationFailure()
{
    return g_countdown.exchange(-1) >= 0;
}

}  // namespace velmora::tests

void* operator new(std::size_t size)
{
    long expected = g_countdown.load();
    while (expected >= 0 && !g_countdown.compare_exchange_weak(expected, expected - 1)) {
    }
    if (expected == 0) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

// The nothrow forms (std::stable_sort's buffer) must pair with the delete above.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}
