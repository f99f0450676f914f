#pragma once

// The one crossing of a path between the program (UTF-8) and Windows (UTF-16).

#include <string>
#include <string_view>

#include "platform/PathText.h"

namespace velmora::win32 {

inline std::wstring WidePath(std::string_view path)
{
    const std::u16string wide = Utf16FromPath(path);
    return {wide.begin(), wide.end()};
}

inline std::string PathFromWide(std::wstring_view path)
{
    return PathFromUtf16({reinterpret_cast<const char16_t*>(path.data()), path.size()});
}

}  // namespace velmora::win32
