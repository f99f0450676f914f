#pragma once

// The programs running on the desktop, by file name.

#include <string>
#include <vector>

namespace velmora::win32 {

// The image file name (no folder, such as u"notepad.exe") of every process
// the system lists, as it lists them, repeats included; empty when the list
// cannot be had.
std::vector<std::u16string> RunningProgramNames();

}  // namespace velmora::win32
