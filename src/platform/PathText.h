#pragma once

// Paths inside the program are UTF-8 in a std::string, whatever the code
// page, so no folder or user name loses a character. Windows names files in
// UTF-16 and allows a surrogate that has no partner; that one is kept as
// its own three bytes (as WTF-8 does), so every name the system gives comes
// back to it unchanged.

#include <string>
#include <string_view>

namespace velmora {

std::string PathFromUtf16(std::u16string_view path);
// A byte that starts no valid sequence gives U+FFFD.
std::u16string Utf16FromPath(std::string_view path);

}  // namespace velmora
