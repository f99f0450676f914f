#pragma once

// The program's web addresses and its help file, opened through the shell.
// Nothing is reported when a page or the help file cannot be opened.

#include <functional>
#include <string>

#include "platform/win32/Win32.h"

namespace velmora {

inline constexpr const char* kSupportPageAddress = "https://www.brackwell.example/velmora/support";
inline constexpr const char* kProductHomePageAddress = "https://www.brackwell.example/velmora/";
inline constexpr const char* kMakerHomePageAddress = "https://www.brackwell.example/";

inline constexpr const char* kHelpFileName = "velmora.chm";

// The directory of the running exe followed by "velmora.chm", in UTF-8.
std::string HelpFilePath();

// ShellExecuteW "open" on the help file, owned by the given window.
void OpenHelpFile(HWND owner);

// Opens the help file at a page of it ("tags.htm"), for F1 in a window.
void OpenHelpTopic(HWND owner, const char* topic);

// ShellExecuteW "open" on the address, owned by the given window.
void OpenWebAddress(HWND owner, const char* address);

// The help commands of the tray menu and of the options window's Help button.
enum HelpCommand : UINT {
    kHelpContents,
    kHelpSupport,
    kHelpHomePage,
    kHelpMakerHomePage,
    kHelpAbout,
    kHelpCommandCount,
};

// A popup of the help commands, whose ids are firstId + HelpCommand.
HMENU CreateHelpMenu(UINT firstId, const char* contentsCaption);
// Runs the help command with that id; false when the id is none of them.
// The About box is the caller's, which knows the program's windows.
bool RunHelpCommand(HWND owner, UINT id, UINT firstId, const std::function<void()>& showAbout);

}  // namespace velmora
