#pragma once

// The current user's registry, as far as the program's settings and its
// start at log-on need it. Key paths are relative to the current user's root
// and use backslashes. Key paths are UTF-8, as paths are (platform/PathText.h):
// the settings key carries the program's own name. Value names are the
// program's own, in ASCII. Nothing here throws: a key that cannot be opened is a
// null result, a value that cannot be read is nothing, a failed write is false.

#include <memory>
#include <optional>
#include <string>

namespace velmora {

// An open key; closed when destroyed.
class IRegistryKey {
public:
    virtual ~IRegistryKey() = default;
    // The text of a string value; nothing when it is missing, unreadable or of
    // another type.
    virtual std::optional<std::string> ReadString(const std::string& name) = 0;
    // Stores a string value (REG_SZ), up to the text's first 0 byte.
    virtual bool WriteString(const std::string& name, const std::string& text) = 0;
    // As ReadString and WriteString, for a value that holds a path: the
    // text is UTF-8 instead of the code page, so no character is lost.
    virtual std::optional<std::string> ReadPath(const std::string& name) = 0;
    virtual bool WritePath(const std::string& name, const std::string& path) = 0;
    // True also when there was no such value.
    virtual bool DeleteValue(const std::string& name) = 0;
    // True when a value of any type has this name.
    virtual bool ValueExists(const std::string& name) = 0;
};

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // Opens the key with full access, creating it and any missing parents.
    virtual std::unique_ptr<IRegistryKey> CreateKey(const std::string& path) = 0;
    // Opens an existing key for reading only; its writes fail.
    virtual std::unique_ptr<IRegistryKey> OpenKeyReadOnly(const std::string& path) = 0;
};

}  // namespace velmora
