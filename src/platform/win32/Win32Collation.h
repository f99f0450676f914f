#pragma once

#include <string_view>

namespace velmora::win32 {

// The order of a sorted system list box: the user's locale, case ignored.
int CompareAsListBox(std::string_view a, std::string_view b);

}  // namespace velmora::win32
