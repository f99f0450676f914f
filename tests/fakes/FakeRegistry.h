#pragma once

// An in-memory registry of the current user. Key and value names are
// compared without regard to case, as the real registry does; keys opened
// read-only refuse writes; and it can be told to fail the ways the real one
// can: keys that cannot be created or opened, values that cannot be read.

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace velmora::tests {

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const
    {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [&](char x, char y) { return lower(x) < lower(y); });
    }
};

class FakeRegistry : public IRegistry {
public:
    struct Value {
        std::string data;
        bool isString = true;  // false: a value of another type, such as a number
    };
    using Values = std::map<std::string, Value, NoCaseLess>;

    std::map<std::string, Values, NoCaseLess> Keys;
    bool FailCreate = false;
    bool FailOpen = false;
    std::set<std::string, NoCaseLess> FailingReads;     // read as nothing, as for a denied value
    std::set<std::string, NoCaseLess> OutOfMemoryReads;  // reading throws std::bad_alloc
    // "path|name=data" for every successful write, in order.
    std::vector<std::string> Writes;
    // Names of the values read, in order.
    std::vector<std::string> Reads;

    std::unique_ptr<IRegistryKey> CreateKey(const std::string& path) override
    {
        if (FailCreate) {
            return nullptr;
        }
        // Parents come into being with the key, as with the real call.
        for (std::size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
            Keys[path.substr(0, slash)];
        }
        Keys[path];
        return std::make_unique<Key>(*this, path, true);
    }

    std::unique_ptr<IRegistryKey> OpenKeyReadOnly(const std::string& path) override
    {
        if (FailOpen || Keys.count(path) == 0) {
            return nullptr;
        }
        return std::make_unique<Key>(*this, path, false);
    }

    // The string stored at path\name, or nothing.
    std::optional<std::string> Get(const std::string& path, const std::string& name) const
    {
        const auto key = Keys.find(path);
        if (key == Keys.end()) {
            return std::nullopt;
        }
        const auto value = key->second.find(name);
        if (value == key->second.end() || !value->second.isString) {
            return std::nullopt;
        }
        return value->second.data;
    }
    void Set(const std::string& path, const std::string& name, const std::string& data, bool isString = true)
    {
        Keys[path][name] = Value{data, isString};
    }

private:
    class Key : public IRegistryKey {
    public:
        Key(FakeRegistry& registry, std::string path, bool writable)
            : m_registry(registry), m_path(std::move(path)), m_writable(writable)
        {
        }

        std::optional<std::string> ReadString(const std::string& name) override
        {
            m_registry.Reads.push_back(name);
            if (m_registry.OutOfMemoryReads.count(name) != 0) {
                throw std::bad_alloc();
            }
            if (m_registry.FailingReads.count(name) != 0) {
                return std::nullopt;
            }
            return m_registry.Get(m_path, name);
        }
        bool WriteString(const std::string& name, const std::string& text) override
        {
            if (!m_writable) {
                return false;
            }
            const std::string stored = text.substr(0, text.find('\0'));
            Values()[name] = Value{stored, true};
            m_registry.Writes.push_back(m_path + "|" + name + "=" + stored);
            return true;
        }
        // Texts are bytes here, with no code page to differ from UTF-8.
        std::optional<std::string> ReadPath(const std::string& name) override { return ReadString(name); }
        bool WritePath(const std::string& name, const std::string& path) override { return WriteString(name, path); }
        bool DeleteValue(const std::string& name) override
        {
            if (!m_writable) {
                return false;
            }
            Values().erase(name);
            return true;
        }
        bool ValueExists(const std::string& name) override { return Values().count(name) != 0; }

    private:
        FakeRegistry::Values& Values() { return m_registry.Keys[m_path]; }

        FakeRegistry& m_registry;
        std::string m_path;
        bool m_writable;
    };
};

}  // namespace velmora::tests
