#pragma once

#include "platform/FileSystem.h"
#include "platform/win32/Win32.h"

namespace velmora::win32 {

// The full path of the running program, of any length, in UTF-8.
std::string ModuleFileName();

class Win32FileSystem : public IFileSystem {
public:
    // An empty directory means the folder of the running program.
    explicit Win32FileSystem(std::string directory = {});

    std::string ExecutableDirectory() override { return m_directory; }
    FileState StateOf(const std::string& path) override;
    std::string LastErrorText() override;
    std::string PathInMessage(const std::string& path) override;
    std::optional<std::string> ReadWholeFile(const std::string& path) override;
    std::unique_ptr<IWritableFile> OpenForWriting(const std::string& path) override;
    bool MoveOver(const std::string& source, const std::string& target) override;
    bool Remove(const std::string& path) override;
    std::optional<std::int64_t> LastWriteTime(const std::string& path) override;

private:
    // Keeps GetLastError of a failed call; returns false for the caller's return.
    bool Failed();

    std::string m_directory;
    DWORD m_lastError = ERROR_SUCCESS;
};

}  // namespace velmora::win32
