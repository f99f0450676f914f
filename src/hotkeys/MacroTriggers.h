#pragma once

// What sets a macro off, as the lists of macros show it: its hot key, its
// abbreviation and the programs it is kept to.

#include <string>

#include "macros/Macro.h"

namespace velmora {

// A hot key or an abbreviation: the quick reference card and the printed
// list show the macro. Modifier flags without a key are no hot key.
bool HasTrigger(const TMacro& macro);

// `Ctrl + S   ";sig"   (notepad.exe, winword.exe)`: the hot key, the
// abbreviation in quotes and the program list in brackets, each only when
// there is one, three blanks apart. Empty when the macro has no trigger.
std::string TriggerDisplayText(const TMacro& macro);

}  // namespace velmora
