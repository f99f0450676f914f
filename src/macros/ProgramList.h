#pragma once

// A macro's "onlyin" value: the programs it fires in, by file name.

#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"

namespace velmora {

// The program file names of an "onlyin" value: split at ';', blanks trimmed, empty parts dropped.
std::vector<std::u16string> ProgramNames(std::string_view onlyIn, ICodePage& codePage);

enum class ProgramFit { None, Default, Named };

// Named when `program` (an image file name such as u"notepad.exe", any case) is on the list,
// Default when the list is empty (the macro serves every program), None otherwise.
ProgramFit FitOf(std::string_view onlyIn, std::u16string_view program, ICodePage& codePage);

// True when macros with these two lists could both claim the same program:
// both lists empty, or a name on both. One empty and one not: no clash.
bool ProgramListsClash(std::string_view a, std::string_view b, ICodePage& codePage);

// File names compare as Windows compares them, ignoring case: the letters of
// ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic are folded, one to one
// (no "ss" for "ß", and the Turkish dotted and dotless i stay apart, as the
// file system keeps them).
bool SameProgramName(std::u16string_view a, std::u16string_view b);

}  // namespace velmora
