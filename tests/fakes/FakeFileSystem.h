#pragma once

// An in-memory file system that honours the IFileSystem contract and can be
// told to fail the way real disks and folders do.

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "platform/FileSystem.h"

namespace velmora::tests {

class FakeFileSystem : public IFileSystem {
public:
    static constexpr const char* kDirectory = "C:\\Program Files\\Velmora\\";

    std::map<std::string, std::string> Files;
    std::set<std::string> Unreadable;
    // Read-only files: they cannot be deleted or moved onto, but can be
    // renamed, taking the attribute along, as on Windows.
    std::set<std::string> ReadOnly;
    // Open in another program that lets others only read it: it cannot be
    // deleted, written, or moved from or onto. (Unreadable is one that
    // shares nothing.)
    std::set<std::string> InUse;
    // Paths the system gives no answer about (access denied on the folder, a
    // network share that blinks): neither there nor missing, and unreadable.
    std::set<std::string> CannotTell;
    // What LastErrorText gives after any failure.
    std::string FailureText;
    // Nothing can be created here, as in a folder the user may not write to.
    bool ReadOnlyFolder = false;
    // Each created file takes this many bytes, then the disk is full.
    std::size_t DiskSpace = static_cast<std::size_t>(-1);
    bool FailFlush = false;
    bool FailClose = false;
    bool FailMove = false;

    // Every creation, write, flush, close, move and removal is a step,
    // counted from 0. FailingStep fails that one step alone; after
    // StepsBeforePowerCut steps every further step fails, as if the program
    // died there and left the files as they were.
    int Steps = 0;
    int FailingStep = -1;
    int StepsBeforePowerCut = -1;

    // Last-write times: a tick of this clock per write.
    std::map<std::string, std::int64_t> WriteTimes;
    std::int64_t Clock = 0;
    bool FailTimes = false;

    int WriteCalls = 0;
    int ReadCalls = 0;

    // Puts a file in place as another program would, written now.
    void Put(const std::string& path, std::string content)
    {
        Files[path] = std::move(content);
        WriteTimes[path] = ++Clock;
    }

    std::string ExecutableDirectory() override { return kDirectory; }

    FileState StateOf(const std::string& path) override
    {
        if (CannotTell.count(path) != 0) {
            return FileState::Unknown;
        }
        return Files.count(path) != 0 ? FileState::File : FileState::Missing;
    }

    std::string LastErrorText() override { return FailureText; }
    std::string PathInMessage(const std::string& path) override { return path; }

    std::optional<std::string> ReadWholeFile(const std::string& path) override
    {
        ++ReadCalls;
        const auto file = Files.find(path);
        if (file == Files.end() || Unreadable.count(path) != 0 || CannotTell.count(path) != 0) {
            return std::nullopt;
        }
        return file->second;
    }

    std::unique_ptr<IWritableFile> OpenForWriting(const std::string& path) override
    {
        if (!Step() || ReadOnlyFolder || Locked(path)) {
            return nullptr;
        }
        Put(path, {});
        return std::make_unique<File>(*this, path);
    }

    bool MoveOver(const std::string& source, const std::string& target) override
    {
        const auto file = Files.find(source);
        if (!Step() || FailMove || file == Files.end() || Locked(target) || InUse.count(source) != 0) {
            return false;
        }
        std::string content = std::move(file->second);
        Files.erase(file);
        Files[target] = std::move(content);
        WriteTimes[target] = WriteTimes[source];
        WriteTimes.erase(source);
        if (ReadOnly.erase(source) != 0) {
            ReadOnly.insert(target);
        }
        return true;
    }

    bool Remove(const std::string& path) override
    {
        if (!Step() || Locked(path)) {
            return false;
        }
        WriteTimes.erase(path);
        return Files.erase(path) != 0;
    }

    std::optional<std::int64_t> LastWriteTime(const std::string& path) override
    {
        if (FailTimes || Files.count(path) == 0) {
            return std::nullopt;
        }
        const auto time = WriteTimes.find(path);
        return time == WriteTimes.end() ? 0 : time->second;
    }

    static std::string PathOf(const std::string& name) { return std::string(kDirectory) + name; }

private:
    bool Locked(const std::string& path) const { return ReadOnly.count(path) != 0 || InUse.count(path) != 0; }

    // False when this step is to fail.
    bool Step()
    {
        const int step = Steps++;
        return step != FailingStep && (StepsBeforePowerCut < 0 || step < StepsBeforePowerCut);
    }

    class File : public IWritableFile {
    public:
        File(FakeFileSystem& owner, std::string path) : m_owner(owner), m_path(std::move(path)) {}

        std::size_t Write(std::string_view bytes) override
        {
            ++m_owner.WriteCalls;
            if (!m_owner.Step()) {
                return 0;
            }
            std::string& content = m_owner.Files[m_path];
            m_owner.WriteTimes[m_path] = ++m_owner.Clock;
            const std::size_t room = m_owner.DiskSpace > content.size() ? m_owner.DiskSpace - content.size() : 0;
            const std::size_t taken = bytes.size() < room ? bytes.size() : room;
            content.append(bytes.substr(0, taken));
            return taken;
        }
        bool Flush() override { return m_owner.Step() && !m_owner.FailFlush; }
        bool Close() override { return m_owner.Step() && !m_owner.FailClose; }

    private:
        FakeFileSystem& m_owner;
        std::string m_path;
    };
};

}  // namespace velmora::tests
