#include "app/ShareMapping.h"

#include "platform/win32/ProcessIdentity.h"

#include <cstdint>
#include <cstring>

namespace velmora {

namespace {
constexpr DWORD kSize = 4;
}

TShareMapping::TShareMapping(const char* name)
{
    // Each user has a block of their own, which no other account may open
    // to plant a window handle in it.
    const win32::UniqueLocal descriptor = win32::UserOnlySecurityDescriptor();
    SECURITY_ATTRIBUTES security{.nLength = sizeof(SECURITY_ATTRIBUTES), .lpSecurityDescriptor = descriptor.Get()};
    // Creating and then asking whether it already existed is one step, so two
    // instances started together cannot both believe they are the first.
    m_mapping = win32::UniqueHandle(::CreateFileMappingA(INVALID_HANDLE_VALUE, descriptor ? &security : nullptr,
                                                         PAGE_READWRITE, 0, kSize,
                                                         win32::UserObjectName(name).c_str()));
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
    const auto window = reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
    // A handle left by a copy that ended may name some other program's window now.
    return win32::RunsThisProgramForThisUser(window) ? window : nullptr;
}

void TShareMapping::WriteWindow(HWND window)
{
    if (m_memory != nullptr) {
        const auto value = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
        std::memcpy(m_memory, &value, sizeof value);
    }
}

}  // namespace velmora
