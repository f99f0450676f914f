#pragma once

// What the options window says about a macro's abbreviation: whether the
// file can keep it, and which other macro's abbreviation gets in its way.

#include <string>

#include "macros/Macro.h"
#include "platform/CodePage.h"

namespace velmora {

// Why the macro's abbreviation or program list cannot be saved; empty when
// both can. A value that is one of the record reader's tag words would
// mislead a copy of Velmora that does not know the field; an abbreviation
// that starts or ends with a blank is refused rather than trimmed behind the
// user's back; and a character the code page cannot hold, which the fields
// keep as a U+ tag, could never be matched.
std::string TriggerRefusal(const TMacro& macro, ICodePage& codePage);

// One line for the status bar about `macro`'s abbreviation, empty when it
// has none: its refusal, or the first other macro of `macros` (the entry at
// `editIndex` is the macro itself) whose abbreviation equals it, starts it,
// ends it, or is started or ended by it, or else that it is free. Macros
// whose program lists cannot clash never get in each other's way.
std::string AbbreviationStatusText(const TMacro& macro, const TMacroList& macros, int editIndex,
                                   ICodePage& codePage);

}  // namespace velmora
