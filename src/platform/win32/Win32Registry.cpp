#include "platform/win32/Win32Registry.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/win32/Handles.h"
#include "platform/win32/WidePath.h"

namespace velmora::win32 {

namespace {

// Reads a string value with the ANSI or the wide call, as the character type says.
template <typename Char>
std::optional<std::basic_string<Char>> QueryString(HKEY key, const std::basic_string<Char>& name)
{
    const auto query = [&](DWORD* type, Char* data, DWORD* size) {
        if constexpr (sizeof(Char) == 1) {
            return ::RegQueryValueExA(key, name.c_str(), nullptr, type, reinterpret_cast<BYTE*>(data), size);
        } else {
            return ::RegQueryValueExW(key, name.c_str(), nullptr, type, reinterpret_cast<BYTE*>(data), size);
        }
    };
    const auto isString = [](DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; };
    // The value may grow between asking its size and reading it.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (query(&type, nullptr, &size) != ERROR_SUCCESS || !isString(type) ||
            size > Win32Registry::kMaxValueBytes * sizeof(Char)) {
            return std::nullopt;
        }
        // A spare character, so a value stored without its terminator (or,
        // for the wide call, with an odd count of bytes) still fits however
        // the system counts it.
        std::basic_string<Char> data(size / sizeof(Char) + 2, Char{});
        DWORD read = static_cast<DWORD>(data.size() * sizeof(Char));
        const LSTATUS status = query(&type, data.data(), &read);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status != ERROR_SUCCESS || !isString(type)) {
            return std::nullopt;
        }
        data.resize(std::min<std::size_t>(read / sizeof(Char), data.size()));
        // Stored data need not end with a terminator, or may hold more after one.
        data.resize(std::basic_string_view<Char>(data.c_str()).size());
        return data;
    }
    return std::nullopt;
}

class Win32RegistryKey : public IRegistryKey {
public:
    explicit Win32RegistryKey(UniqueKey key) : m_key(std::move(key)) {}

    std::optional<std::string> ReadString(const std::string& name) override { return QueryString(m_key.Get(), name); }

    std::optional<std::string> ReadPath(const std::string& name) override
    {
        const auto wide = QueryString(m_key.Get(), WidePath(name));
        return wide ? std::optional(PathFromWide(*wide)) : std::nullopt;
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

    bool WritePath(const std::string& name, const std::string& path) override
    {
        const std::wstring wide = WidePath(path.c_str());
        if (wide.size() >= Win32Registry::kMaxValueBytes) {
            return false;
        }
        return ::RegSetValueExW(m_key.Get(), WidePath(name).c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(wide.c_str()),
                                static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }

    bool DeleteValue(const std::string& name) override
    {
        const LSTATUS status = ::RegDeleteValueW(m_key.Get(), WidePath(name).c_str());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }

    bool ValueExists(const std::string& name) override
    {
        return ::RegQueryValueExW(m_key.Get(), WidePath(name).c_str(), nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
    }

private:
    UniqueKey m_key;
};

}  // namespace

std::unique_ptr<IRegistryKey> Win32Registry::CreateKey(const std::string& path)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, WidePath(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(UniqueKey(key));
}

std::unique_ptr<IRegistryKey> Win32Registry::OpenKeyReadOnly(const std::string& path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, WidePath(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(UniqueKey(key));
}

}  // namespace velmora::win32
