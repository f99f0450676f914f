#pragma once

// Who runs a process, and which program: a window handle that another process
// left in a shared place is trusted only when its owner is this program,
// started by this user.

#include <string>
#include <string_view>

#include "platform/win32/Handles.h"

namespace velmora::win32 {

// The program file the process was started from; empty when it cannot be
// read. A handle with PROCESS_QUERY_LIMITED_INFORMATION is enough.
std::wstring ImagePathOf(HANDLE process);

// The SID of the process's user as text ("S-1-5-21-..."); empty when its
// token cannot be read.
std::string UserSidOf(HANDLE process);

// The name of a named object of this user alone: the base name, a blank and
// the user's SID (only the base name when the SID cannot be read), so that
// every user of the machine has an object of their own.
std::string UserObjectName(std::string_view baseName);

// A security descriptor whose DACL admits this user alone; empty when it
// cannot be made.
UniqueLocal UserOnlySecurityDescriptor();

// True when the window belongs to a process of this user that runs this
// very program file.
bool RunsThisProgramForThisUser(HWND window);

}  // namespace velmora::win32
