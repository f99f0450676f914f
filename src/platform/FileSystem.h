#pragma once

// Files beside the executable. Paths are UTF-8 (platform/PathText.h), so a
// folder named outside the code page works. Nothing here throws: failures come back as results and the caller
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

// What is at a path. Only the system's "not found" for the file or a folder
// of its path is Missing; any other failure (access denied, a network
// share that does not answer) is Unknown, which must never be taken for
// Missing: a file may be there that nothing may be saved over.
enum class FileState { Missing, File, Unknown };

// Windows' error codes that say nothing is there.
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorPathNotFound = 3;

// The state a failed look at a path leaves, from Windows' error code.
constexpr FileState FileStateAfterError(std::uint32_t systemError)
{
    return systemError == kErrorFileNotFound || systemError == kErrorPathNotFound ? FileState::Missing
                                                                                  : FileState::Unknown;
}

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // The folder of the running program, ending in its path separator.
    virtual std::string ExecutableDirectory() = 0;
    // A folder at the path is Unknown: no file can be read or written there.
    virtual FileState StateOf(const std::string& path) = 0;
    bool FileExists(const std::string& path) { return StateOf(path) == FileState::File; }
    // The system's own words for why the last failed call of this object (or
    // of a file it opened) failed; empty when it gave none. Ask straight
    // after the failure: later calls may replace it.
    virtual std::string LastErrorText() = 0;
    // The path as the program's messages, which are code-page text, show
    // it: a character the code page lacks shows as "?".
    virtual std::string PathInMessage(const std::string& path) = 0;
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
