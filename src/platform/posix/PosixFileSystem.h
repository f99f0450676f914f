#pragma once

#include "platform/FileSystem.h"

namespace velmora {

// The file system of a POSIX host, for running the portable core natively.
class PosixFileSystem : public IFileSystem {
public:
    // An empty directory means the folder of the running program.
    explicit PosixFileSystem(std::string directory = {});

    std::string ExecutableDirectory() override { return m_directory; }
    FileState StateOf(const std::string& path) override;
    std::string LastErrorText() override;
    std::string PathInMessage(const std::string& path) override { return path; }
    std::optional<std::string> ReadWholeFile(const std::string& path) override;
    std::unique_ptr<IWritableFile> OpenForWriting(const std::string& path) override;
    bool MoveOver(const std::string& source, const std::string& target) override;
    bool Remove(const std::string& path) override;
    std::optional<std::int64_t> LastWriteTime(const std::string& path) override;

private:
    std::string m_directory;
    int m_lastError = 0;
};

}  // namespace velmora
