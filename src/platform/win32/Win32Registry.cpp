#include "platform/win32/Win32Registry.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/win32/Handles.h"

namespace velmora::win32 {

namespace {

class Win32RegistryKey : public IRegistryKey {
public:
    explicit Win32RegistryKey(UniqueKey key) : m_key(std::move(key)) {}

    std::optional<std::string> ReadString(const std::string& name) override
    {
        // The value may grow between asking its size and reading it.
        for (int attempt = 0; attempt < 4; ++attempt) {
            DWORD type = REG_NONE;
            DWORD size = 0;
            if (::RegQueryValueExA(m_key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
                !IsString(type) || size > Win32Registry::kMaxValueBytes) {
                return std::nullopt;
            }
            // One spare byte, so a value stored without its terminator still
            // fits however the system counts it.
            std::string data(size + 1, '\0');
            DWORD read = size + 1;
            const LSTATUS status = ::RegQueryValueExA(m_key.Get(), name.c_str(), nullptr, &type,
                                                      reinterpret_cast<BYTE*>(data.data()), &read);
            if (status == ERROR_MORE_DATA) {
                continue;
            }
            if (status != ERROR_SUCCESS || !IsString(type)) {
                return std::nullopt;
            }
            data.resize(std::min<std::size_t>(read, data.size()));
            // Stored data need not end with a terminator, or may hold more after one.
            data.resize(std::strlen(data.c_str()));
            return data;
        }
        return std::nullopt;
    }

    bool WriteString(const std::string& name, const std::string& text) override
    {
        const std::size_t length = std::strlen(text.c_str());
        if (length >= Win32Registry::kMaxValueBytes) {
            return false;
        }
        return ::RegSetValueExA(m_key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>(length + 1)) == ERROR_SUCCESS;
    }

    bool DeleteValue(const std::string& name) override
    {
        const LSTATUS status = ::RegDeleteValueA(m_key.Get(), name.c_str());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }

    bool ValueExists(const std::string& name) override
    {
        return ::RegQueryValueExA(m_key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }

private:
    static bool IsString(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

    UniqueKey m_key;
};

}  // namespace

std::unique_ptr<IRegistryKey> Win32Registry::CreateKey(const std::string& path)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(UniqueKey(key));
}

std::unique_ptr<IRegistryKey> Win32Registry::OpenKeyReadOnly(const std::string& path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(UniqueKey(key));
}

}  // namespace velmora::win32
