#pragma once

#include "platform/Registry.h"
#include "platform/win32/Win32.h"

namespace velmora::win32 {

// HKEY_CURRENT_USER through the ANSI registry calls.
class Win32Registry : public IRegistry {
public:
    // Longest string value read or written; settings and paths are far shorter.
    static constexpr unsigned long kMaxValueBytes = 1024UL * 1024UL;

    std::unique_ptr<IRegistryKey> CreateKey(const std::string& path) override;
    std::unique_ptr<IRegistryKey> OpenKeyReadOnly(const std::string& path) override;
};

}  // namespace velmora::win32
