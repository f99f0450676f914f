#include "platform/win32/SystemLibrary.h"

namespace velmora::win32 {

void RestrictDllSearchToSystem32()
{
    // Windows 7 has the call only with update KB2533623; without it, taking
    // the current folder out of the search is what it allows.
    using SetDirectories = BOOL WINAPI(DWORD);
    if (const auto restrict = SystemFunction<SetDirectories>(L"kernel32.dll", "SetDefaultDllDirectories")) {
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
    } else {
        ::SetDllDirectoryW(L"");
    }
}

bool SystemLibrary::Load()
{
    if (!m_module) {
        wchar_t folder[MAX_PATH] = {};
        const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) {
            return false;
        }
        // By its full path, so no search takes place; the DLL's own imports
        // are looked for beside it, in System32.
        const std::wstring path = std::wstring(folder, length) + L"\\" + m_fileName;
        m_module = UniqueModule(::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    }
    return static_cast<bool>(m_module);
}

}  // namespace velmora::win32
