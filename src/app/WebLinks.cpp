#include "app/WebLinks.h"

#include <shellapi.h>

#include <vector>

namespace velmora {

namespace {

std::string ExePath()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::string(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

void ShellOpen(HWND owner, const char* target)
{
    ::ShellExecuteA(owner, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

std::string HelpFilePath()
{
    std::string path = ExePath();
    path.erase(path.find_last_of("\\/") + 1);  // npos + 1 empties a bare name
    return path + kHelpFileName;
}

void OpenHelpFile(HWND owner)
{
    ShellOpen(owner, HelpFilePath().c_str());
}

void OpenWebAddress(HWND owner, const char* address)
{
    ShellOpen(owner, address);
}

}  // namespace velmora
