#include "app/ShareMapping.h"

#include <cstdint>
#include <cstring>

namespace velmora {

namespace {
constexpr DWORD kSize = 4;
}

TShareMapping::TShareMapping(const char* name)
{
    // Creating and then asking whether it already existed is one step, so two
    // instances started together cannot both believe they are the first.
    m_mapping = win32::UniqueHandle(
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize, name));
    if (!m_mapping) {
        return;
    }
    m_created = ::GetLastError() != ERROR_ALREADY_EXISTS;
    m_memory = ::MapViewOfFile(m_mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0);
}

TShareMapping::~TShareMapping()
{
    if (m_memory != nullptr) {
        ::UnmapViewOfFile(m_memory);
    }
}

HWND TShareMapping::ReadWindow() const
{
    if (m_memory == nullptr) {
        return nullptr;
    }
    std::uint32_t value = 0;
    std::memcpy(&value, m_memory, sizeof value);
    // Window handles fit in 32 bits, also in 64-bit processes, and widen
    // with their sign (as LongToHandle does).
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}

void TShareMapping::WriteWindow(HWND window)
{
    if (m_memory != nullptr) {
        const auto value = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
        std::memcpy(m_memory, &value, sizeof value);
    }
}

}  // namespace velmora
