#include "platform/win32/Win32FileSystem.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>

#include "platform/win32/Handles.h"
#include "platform/win32/WidePath.h"

namespace velmora::win32 {

namespace {

class Win32File : public IWritableFile {
public:
    Win32File(UniqueHandle handle, DWORD& lastError) : m_handle(std::move(handle)), m_lastError(lastError) {}

    std::size_t Write(std::string_view bytes) override
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const auto chunk = static_cast<DWORD>(
                std::min<std::size_t>(bytes.size() - done, std::numeric_limits<DWORD>::max()));
            DWORD written = 0;
            if (!::WriteFile(m_handle.Get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
                m_lastError = ::GetLastError();
                break;
            }
            done += written;
        }
        return done;
    }
    bool Flush() override { return ::FlushFileBuffers(m_handle.Get()) != FALSE || Failed(); }
    bool Close() override { return m_handle.Reset() || Failed(); }

private:
    bool Failed()
    {
        m_lastError = ::GetLastError();
        return false;
    }

    UniqueHandle m_handle;
    DWORD& m_lastError;
};

// The program's boxes are ANSI: wide text in the code page, "?" where it
// lacks a character.
std::string MessageText(std::wstring_view wide)
{
    const int length = static_cast<int>(wide.size());
    std::string ansi(static_cast<std::size_t>(
                         std::max(::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr), 0)),
                     '\0');
    const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), static_cast<int>(ansi.size()),
                                           nullptr, nullptr);
    ansi.resize(static_cast<std::size_t>(std::max(size, 0)));
    return ansi;
}

}  // namespace

std::string ModuleFileName()
{
    // The length is unbounded: the buffer grows until the whole path fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return PathFromWide(path);
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

bool Win32FileSystem::Failed()
{
    m_lastError = ::GetLastError();
    return false;
}

FileState Win32FileSystem::StateOf(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        Failed();
        return FileStateAfterError(m_lastError);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        m_lastError = ERROR_ACCESS_DENIED;
        return FileState::Unknown;
    }
    return FileState::File;
}

std::string Win32FileSystem::PathInMessage(const std::string& path)
{
    return MessageText(WidePath(path));
}

std::string Win32FileSystem::LastErrorText()
{
    wchar_t text[512] = {};
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                          m_lastError, 0, text, static_cast<DWORD>(std::size(text)), nullptr);
    if (m_lastError == ERROR_SUCCESS || length == 0) {
        return {};
    }
    // The system ends its text with a line break.
    std::string ansi = MessageText({text, length});
    while (!ansi.empty() && (ansi.back() == '\r' || ansi.back() == '\n' || ansi.back() == ' ')) {
        ansi.pop_back();
    }
    return ansi;
}

std::optional<std::string> Win32FileSystem::ReadWholeFile(const std::string& path)
{
    UniqueHandle file(::CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size)) {
        Failed();
        return std::nullopt;
    }
    // The data never holds more than a 32-bit string length can describe.
    if (size.QuadPart < 0 || size.QuadPart > std::numeric_limits<std::int32_t>::max()) {
        m_lastError = ERROR_FILE_TOO_LARGE;
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!content.empty() &&
        !::ReadFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr)) {
        Failed();
        return std::nullopt;
    }
    content.resize(read);
    return content;
}

std::unique_ptr<IWritableFile> Win32FileSystem::OpenForWriting(const std::string& path)
{
    UniqueHandle file(
        ::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                      nullptr));
    if (!file) {
        Failed();
        return nullptr;
    }
    return std::make_unique<Win32File>(std::move(file), m_lastError);
}

bool Win32FileSystem::MoveOver(const std::string& source, const std::string& target)
{
    return ::MoveFileExW(WidePath(source).c_str(), WidePath(target).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE ||
           Failed();
}

bool Win32FileSystem::Remove(const std::string& path)
{
    return ::DeleteFileW(WidePath(path).c_str()) != FALSE || Failed();
}

std::optional<std::int64_t> Win32FileSystem::LastWriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                     data.ftLastWriteTime.dwLowDateTime);
}

}  // namespace velmora::win32
