#include "platform/win32/RunningPrograms.h"

#include "platform/win32/Handles.h"

#include <tlhelp32.h>

namespace velmora::win32 {

std::vector<std::u16string> RunningProgramNames()
{
    // The snapshot names every process, elevated ones too, without opening any.
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    std::vector<std::u16string> names;
    if (!snapshot) {
        return names;
    }
    PROCESSENTRY32W entry{.dwSize = sizeof(PROCESSENTRY32W)};
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry)) {
        names.emplace_back(reinterpret_cast<const char16_t*>(entry.szExeFile));
    }
    return names;
}

}  // namespace velmora::win32
