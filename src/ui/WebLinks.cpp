#include "ui/WebLinks.h"

#include <shellapi.h>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/WidePath.h"

namespace velmora {

namespace {

void ShellOpen(HWND owner, std::string_view target)
{
    ::ShellExecuteW(owner, L"open", win32::WidePath(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

std::string HelpFilePath()
{
    std::string path = win32::ModuleFileName();
    path.erase(path.find_last_of("\\/") + 1);  // npos + 1 empties a bare name
    return path + kHelpFileName;
}

void OpenHelpFile(HWND owner)
{
    ShellOpen(owner, HelpFilePath());
}

void OpenHelpTopic(HWND owner, const char* topic)
{
    // The HTML Help viewer opens a page of the file given as "file::/page".
    const std::wstring page = L"\"" + win32::WidePath(HelpFilePath()) + L"::/" + win32::WidePath(topic) + L"\"";
    ::ShellExecuteW(owner, L"open", L"hh.exe", page.c_str(), nullptr, SW_SHOWNORMAL);
}

void OpenWebAddress(HWND owner, const char* address)
{
    ShellOpen(owner, address);
}

HMENU CreateHelpMenu(UINT firstId, const char* contentsCaption)
{
    const HMENU onTheWeb = ::CreatePopupMenu();
    ::AppendMenuA(onTheWeb, MF_STRING, firstId + kHelpSupport, "Technical Support");
    ::AppendMenuA(onTheWeb, MF_STRING, firstId + kHelpHomePage, "Velmora Home Page");
    ::AppendMenuA(onTheWeb, MF_STRING, firstId + kHelpMakerHomePage, "Brackwell, Inc.");

    const HMENU help = ::CreatePopupMenu();
    ::AppendMenuA(help, MF_STRING, firstId + kHelpContents, contentsCaption);
    ::AppendMenuA(help, MF_POPUP, reinterpret_cast<UINT_PTR>(onTheWeb), "On The Web");
    ::AppendMenuA(help, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(help, MF_STRING, firstId + kHelpAbout, "About...");
    return help;
}

bool RunHelpCommand(HWND owner, UINT id, UINT firstId, const std::function<void()>& showAbout)
{
    if (id < firstId || id >= firstId + kHelpCommandCount) {
        return false;
    }
    switch (id - firstId) {
    case kHelpContents: OpenHelpFile(owner); break;
    case kHelpSupport: OpenWebAddress(owner, kSupportPageAddress); break;
    case kHelpHomePage: OpenWebAddress(owner, kProductHomePageAddress); break;
    case kHelpMakerHomePage: OpenWebAddress(owner, kMakerHomePageAddress); break;
    default:
        if (showAbout) {
            showAbout();
        }
        break;
    }
    return true;
}

}  // namespace velmora
