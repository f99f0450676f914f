#pragma once

#include <string_view>

namespace velmora::win32 {

// The order of a sorted system list box: the user's locale, case ignored.
int CompareAsListBox(std::u16string_view a, std::u16string_view b);

}  // namespace velmora::win32
