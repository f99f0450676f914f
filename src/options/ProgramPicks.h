#pragma once

// The running programs the options window offers for a macro's program
// list, and the list with the user's picks added.

#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"

namespace velmora {

// The file names as the picker lists them: each once (names that differ
// only in case are one), in order ignoring case. Names the code page cannot
// hold are left out: the macro file could not keep them.
std::vector<std::u16string> ProgramChoices(std::vector<std::u16string> names, ICodePage& codePage);

// `onlyIn` with the picked names added at its end, each that is not on it
// already (ignoring case), ";" between every two names. What the user wrote
// stays as written.
std::string AddPickedPrograms(std::string_view onlyIn, const std::vector<std::u16string>& picks,
                              ICodePage& codePage);

}  // namespace velmora
