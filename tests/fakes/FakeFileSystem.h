#pragma once

// An in-memory file system that honours the IFileSystem contract and can be
// told to fail the way real disks and folders do.

#include <cstddef>
#include <map>
#include <set>
#include <string>

#include "platform/FileSystem.h"

namespace velmora::testing {

class FakeFileSystem : public IFileSystem {
public:
    static constexpr const char* kDirectory = "C:\\Program Files\\Velmora\\";

    std::map<std::string, std::string> Files;
    std::set<std::string> Unreadable;
    // Nothing can be created here, as in a folder the user may not write to.
    bool ReadOnlyFolder = false;
    // Each created file takes this many bytes, then the disk is full.
    std::size_t DiskSpace = static_cast<std::size_t>(-1);
    bool FailFlush = false;
    bool FailClose = false;
    bool FailMove = false;

    int WriteCalls = 0;
    int ReadCalls = 0;

    std::string ExecutableDirectory() override { return kDirectory; }

    bool FileExists(const std::string& path) override { return Files.count(path) != 0; }

    std::optional<std::string> ReadWholeFile(const std::string& path) override
    {
        ++ReadCalls;
        const auto file = Files.find(path);
        if (file == Files.end() || Unreadable.count(path) != 0) {
            return std::nullopt;
        }
        return file->second;
    }

    std::unique_ptr<IWritableFile> OpenForWriting(const std::string& path) override
    {
        if (ReadOnlyFolder) {
            return nullptr;
        }
        Files[path].clear();
        return std::make_unique<File>(*this, path);
    }

    bool MoveOver(const std::string& source, const std::string& target) override
    {
        const auto file = Files.find(source);
        if (FailMove || file == Files.end()) {
            return false;
        }
        std::string content = std::move(file->second);
        Files.erase(file);
        Files[target] = std::move(content);
        return true;
    }

    bool Remove(const std::string& path) override { return Files.erase(path) != 0; }

    static std::string PathOf(const std::string& name) { return std::string(kDirectory) + name; }

private:
    class File : public IWritableFile {
    public:
        File(FakeFileSystem& owner, std::string path) : m_owner(owner), m_path(std::move(path)) {}

        std::size_t Write(std::string_view bytes) override
        {
            ++m_owner.WriteCalls;
            std::string& content = m_owner.Files[m_path];
            const std::size_t room = m_owner.DiskSpace > content.size() ? m_owner.DiskSpace - content.size() : 0;
            const std::size_t taken = bytes.size() < room ? bytes.size() : room;
            content.append(bytes.substr(0, taken));
            return taken;
        }
        bool Flush() override { return !m_owner.FailFlush; }
        bool Close() override { return !m_owner.FailClose; }

    private:
        FakeFileSystem& m_owner;
        std::string m_path;
    };
};

}  // namespace velmora::testing
