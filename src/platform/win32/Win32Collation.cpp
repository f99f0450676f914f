#include "platform/win32/Win32Collation.h"

#include "platform/win32/Win32.h"

namespace velmora::win32 {

int CompareAsListBox(std::string_view a, std::string_view b)
{
    const int result = ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                        b.data(), static_cast<int>(b.size()));
    // 0 is failure; 1, 2 and 3 mean less, equal and greater.
    return result == 0 ? a.compare(b) : result - CSTR_EQUAL;
}

}  // namespace velmora::win32
