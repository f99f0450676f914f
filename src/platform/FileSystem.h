#pragma once

// Files beside the executable. Paths are 8-bit strings in the system's own
// form. Nothing here throws: failures come back as results and the caller
// raises the program's message, so a fake cannot drift from the real texts.
// (The names avoid CreateFile and friends, which <windows.h> redefines.)

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// A file open for writing. Destroying it closes it without the checks of Close.
class IWritableFile {
public:
    virtual ~IWritableFile() = default;
    // Returns how many bytes reached the file; fewer than given means failure.
    virtual std::size_t Write(std::string_view bytes) = 0;
    // Pushes the written bytes to the disk itself, not just the system cache.
    virtual bool Flush() = 0;
    virtual bool Close() = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // The folder of the running program, ending in its path separator.
    virtual std::string ExecutableDirectory() = 0;
    // True for a file; false for a folder or nothing.
    virtual bool FileExists(const std::string& path) = 0;
    // The whole content, or nothing when the file cannot be opened or read.
    virtual std::optional<std::string> ReadWholeFile(const std::string& path) = 0;
    // Creates the file, emptying one that exists; null on failure.
    virtual std::unique_ptr<IWritableFile> OpenForWriting(const std::string& path) = 0;
    // Moves source over target in one step, so target is either the old or
    // the new file, never a mixture, even if the power fails.
    virtual bool MoveOver(const std::string& source, const std::string& target) = 0;
    virtual bool Remove(const std::string& path) = 0;
    // When the file's content was last written, in ticks that mean nothing
    // except against another result of this call: a later write gives a
    // larger value, and moving a file keeps its time. Nothing when there is
    // no such file or its time cannot be read.
    virtual std::optional<std::int64_t> LastWriteTime(const std::string& path) = 0;
};

}  // namespace velmora
