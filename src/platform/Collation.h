#pragma once

// How the options window orders macro names: like the system's sorted list
// box, without regard to case. The comparison is the system's on Windows.

#include <functional>
#include <string_view>

namespace velmora {

// Less than, equal to or greater than zero, like strcmp.
using NameCollation = std::function<int(std::string_view, std::string_view)>;

// Byte order after folding ASCII letters to upper case; what the fakes use.
int CompareIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace velmora
