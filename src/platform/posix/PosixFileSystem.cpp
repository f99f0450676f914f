#include "platform/posix/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace velmora {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

class PosixFile : public IWritableFile {
public:
    PosixFile(int fd, int& lastError) : m_fd(fd), m_lastError(lastError) {}

    std::size_t Write(std::string_view bytes) override
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd.Get(), bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                m_lastError = n < 0 ? errno : ENOSPC;
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        return done;
    }
    bool Flush() override { return ::fsync(m_fd.Get()) == 0 || Failed(); }
    bool Close() override { return m_fd.Close() || Failed(); }

private:
    bool Failed()
    {
        m_lastError = errno;
        return false;
    }

    FileDescriptor m_fd;
    int& m_lastError;
};

}  // namespace

PosixFileSystem::PosixFileSystem(std::string directory) : m_directory(std::move(directory))
{
    if (m_directory.empty()) {
        std::error_code error;
        m_directory = std::filesystem::read_symlink("/proc/self/exe", error).parent_path().string();
    }
    if (m_directory.empty() || m_directory.back() != '/') {
        m_directory += '/';
    }
}

FileState PosixFileSystem::StateOf(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        m_lastError = errno;
        return errno == ENOENT || errno == ENOTDIR ? FileState::Missing : FileState::Unknown;
    }
    if (!S_ISREG(info.st_mode)) {
        m_lastError = EISDIR;
        return FileState::Unknown;
    }
    return FileState::File;
}

std::string PosixFileSystem::LastErrorText()
{
    return m_lastError == 0 ? std::string() : std::string(std::strerror(m_lastError));
}

std::optional<std::string> PosixFileSystem::ReadWholeFile(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0) {
        m_lastError = errno;
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        m_lastError = EISDIR;
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::read(fd.Get(), content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            m_lastError = errno;
            return std::nullopt;
        }
        if (n == 0) {
            content.resize(done);  // the file shrank while we read it
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return content;
}

std::unique_ptr<IWritableFile> PosixFileSystem::OpenForWriting(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        m_lastError = errno;
        return nullptr;
    }
    return std::make_unique<PosixFile>(fd, m_lastError);
}

bool PosixFileSystem::MoveOver(const std::string& source, const std::string& target)
{
    if (std::rename(source.c_str(), target.c_str()) != 0) {
        m_lastError = errno;
        return false;
    }
    return true;
}

bool PosixFileSystem::Remove(const std::string& path)
{
    if (::unlink(path.c_str()) != 0) {
        m_lastError = errno;
        return false;
    }
    return true;
}

std::optional<std::int64_t> PosixFileSystem::LastWriteTime(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

}  // namespace velmora
