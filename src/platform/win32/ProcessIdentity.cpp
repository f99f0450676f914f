#include "platform/win32/ProcessIdentity.h"

#include <sddl.h>

#include <vector>

namespace velmora::win32 {

std::wstring ImagePathOf(HANDLE process)
{
    std::wstring path(32768, L'\0');
    auto size = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameW(process, 0, path.data(), &size)) {
        return {};
    }
    path.resize(size);
    return path;
}

std::string UserSidOf(HANDLE process)
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token)) {
        return {};
    }
    const UniqueHandle ownedToken(token);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    // Allocated as pointers, so that the TOKEN_USER in it is aligned.
    std::vector<void*> buffer(size / sizeof(void*) + 1);
    if (size == 0 || !::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        return {};
    }
    char* text = nullptr;
    if (!::ConvertSidToStringSidA(static_cast<TOKEN_USER*>(static_cast<void*>(buffer.data()))->User.Sid, &text)) {
        return {};
    }
    const UniqueLocal ownedText(text);
    return text;
}

std::string UserObjectName(std::string_view baseName)
{
    const std::string user = UserSidOf(::GetCurrentProcess());
    return user.empty() ? std::string(baseName) : std::string(baseName) + " " + user;
}

UniqueLocal UserOnlySecurityDescriptor()
{
    const std::string user = UserSidOf(::GetCurrentProcess());
    if (user.empty()) {
        return {};
    }
    // A protected DACL with one entry: all access for the user.
    const std::string text = "D:P(A;;GA;;;" + user + ")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(text.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
        return {};
    }
    return UniqueLocal(descriptor);
}

bool RunsThisProgramForThisUser(HWND window)
{
    DWORD processId = 0;
    if (window == nullptr || ::GetWindowThreadProcessId(window, &processId) == 0) {
        return false;
    }
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        return false;
    }
    const std::string user = UserSidOf(process.Get());
    const std::wstring image = ImagePathOf(process.Get());
    const std::wstring ownImage = ImagePathOf(::GetCurrentProcess());
    return !user.empty() && user == UserSidOf(::GetCurrentProcess()) && !image.empty() &&
           ::CompareStringOrdinal(image.c_str(), -1, ownImage.c_str(), -1, /*bIgnoreCase=*/TRUE) == CSTR_EQUAL;
}

}  // namespace velmora::win32
