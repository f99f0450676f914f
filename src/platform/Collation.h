#pragma once

// How the program orders macro names: as the user reads them, in the user's
// locale, without regard to case. The comparison is the system's on Windows.

#include <functional>
#include <string_view>

namespace velmora {

// Less than, equal to or greater than zero, like strcmp, over names as shown.
using TextCollation = std::function<int(std::u16string_view, std::u16string_view)>;
// The same over names as stored (see options/MacroNames.h).
using NameCollation = std::function<int(std::string_view, std::string_view)>;

// Code-unit order after folding ASCII letters to upper case; what the fakes
// use, and how key names are matched.
int CompareIgnoringAsciiCase(std::string_view a, std::string_view b);
int CompareIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

}  // namespace velmora
