#include "platform/win32/Win32FileSystem.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/win32/Handles.h"

namespace velmora::win32 {

namespace {

class Win32File : public IWritableFile {
public:
    explicit Win32File(UniqueHandle handle) : m_handle(std::move(handle)) {}

    std::size_t Write(std::string_view bytes) override
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const auto chunk = static_cast<DWORD>(
                std::min<std::size_t>(bytes.size() - done, std::numeric_limits<DWORD>::max()));
            DWORD written = 0;
            if (!::WriteFile(m_handle.Get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
                break;
            }
            done += written;
        }
        return done;
    }
    bool Flush() override { return ::FlushFileBuffers(m_handle.Get()) != FALSE; }
    bool Close() override { return m_handle.Reset(); }

private:
    UniqueHandle m_handle;
};

}  // namespace

std::string ModuleFileName()
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

Win32FileSystem::Win32FileSystem(std::string directory) : m_directory(std::move(directory))
{
    if (m_directory.empty()) {
        const std::string program = ModuleFileName();
        const auto slash = program.find_last_of("\\/");
        m_directory = slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
    }
    if (!m_directory.empty() && m_directory.back() != '\\' && m_directory.back() != '/') {
        m_directory += '\\';
    }
}

bool Win32FileSystem::FileExists(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::string> Win32FileSystem::ReadWholeFile(const std::string& path)
{
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size)) {
        return std::nullopt;
    }
    // The data never holds more than a 32-bit string length can describe.
    if (size.QuadPart < 0 || size.QuadPart > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!content.empty() &&
        !::ReadFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr)) {
        return std::nullopt;
    }
    content.resize(read);
    return content;
}

std::unique_ptr<IWritableFile> Win32FileSystem::OpenForWriting(const std::string& path)
{
    UniqueHandle file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return nullptr;
    }
    return std::make_unique<Win32File>(std::move(file));
}

bool Win32FileSystem::MoveOver(const std::string& source, const std::string& target)
{
    return ::MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool Win32FileSystem::Remove(const std::string& path)
{
    return ::DeleteFileA(path.c_str()) != FALSE;
}

std::optional<std::int64_t> Win32FileSystem::LastWriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                     data.ftLastWriteTime.dwLowDateTime);
}

}  // namespace velmora::win32
