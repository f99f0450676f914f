#pragma once

// Reads the hand-written byte vectors in tests/data.

#include <filesystem>
#include <string>

namespace velmora::tests {

struct ByteVector {
    std::string plain;
    std::string stored;  // empty when the file gives none
};

// Parses the vector format described in tests/data/README.md; throws
// std::runtime_error on a malformed file so a typo cannot pass silently.
ByteVector ParseByteVector(const std::string& text);
ByteVector LoadByteVector(const std::string& name);

// A path the running test executable can open: under Wine a Unix path is
// reached through the Z: drive.
std::string HostPath(const std::string& unixOrWindowsPath);
std::string TestDataPath(const std::string& name);
// A path the program holds (UTF-8) as the standard library takes it.
std::filesystem::path HostPathOf(const std::string& path);
std::string ReadHostFile(const std::string& path);

}  // namespace velmora::tests
