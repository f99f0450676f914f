#pragma once

// What the options window says about the hot key of the macro being edited:
// free, shared with another macro, kept by Windows, or held by another program.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "hotkeys/HotKeys.h"

namespace velmora {

// A combination that Windows handles for the whole desktop before any
// program sees it: a hot key there either never arrives or takes the
// function away from every window. Only keys the hot-key list offers.
struct ReservedHotKey {
    std::uint32_t modifiers;  // kMod* bits
    std::string_view key;     // as the hot-key list names it
    std::string_view description;
};

std::span<const ReservedHotKey> ReservedHotKeys();

// The entry whose modifiers and key (ignoring case) are the macro's, or nullptr.
const ReservedHotKey* FindReservedHotKey(const TMacro& macro);

// The identifier the probe registers under; the options window holds no
// other hot key, so it clashes with nothing.
inline constexpr std::int32_t kHotKeyProbeId = 0xBFFF;

// What holds a combination when neither Windows nor another macro does.
inline constexpr std::string_view kTakenByAnotherProgram = "taken by another program";

// What keeps `macro`'s combination from it, as far as Windows' own list and
// the macro list tell: "reserved by Windows (what it does)", or "also used by
// \"name\"" for the first entry of `macros` that mayHold allows and whose
// program list can claim a program of the macro's (macros for different
// programs share a combination); empty when neither does. The status bar
// and the list of refused hot keys both say it.
std::string KnownHotKeyHolder(const TMacro& macro, const TMacroList& macros, ICodePage& codePage,
                              const std::function<bool(std::size_t index)>& mayHold);

// One line for the status bar about `macro`'s combination, empty when it has
// no key. `macros` is the list it is edited in; the entry at `editIndex` is
// the macro itself and is skipped. The probe registers the combination on
// `probe` and unregisters it at once. `codePage` reads the program lists.
std::string HotKeyStatusText(const TMacro& macro, const TMacroList& macros, int editIndex, IHotKeys& probe,
                             IKeyboard& keyboard, ICodePage& codePage);

}  // namespace velmora
