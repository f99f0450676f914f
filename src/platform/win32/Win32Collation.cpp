#include "platform/win32/Win32Collation.h"

#include "platform/win32/Win32.h"

namespace velmora::win32 {

int CompareAsListBox(std::u16string_view a, std::u16string_view b)
{
    const int result =
        ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, reinterpret_cast<LPCWCH>(a.data()),
                          static_cast<int>(a.size()), reinterpret_cast<LPCWCH>(b.data()), static_cast<int>(b.size()),
                          nullptr, nullptr, 0);
    // 0 is failure; 1, 2 and 3 mean less, equal and greater.
    return result == 0 ? a.compare(b) : result - CSTR_EQUAL;
}

}  // namespace velmora::win32
