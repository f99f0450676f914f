#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace velmora::tests {

// A fresh folder under the system's temporary folder, removed with its content.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& prefix)
    {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}  // namespace velmora::tests
