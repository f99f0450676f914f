#include "hotkeys/HotKeyCheck.h"

#include <algorithm>
#include <array>

#include "macros/ProgramList.h"
#include "platform/Collation.h"

namespace velmora {

namespace {

constexpr std::uint32_t kWin = kModWin;
constexpr std::uint32_t kWinShift = kModWin | kModShift;
constexpr std::uint32_t kWinCtrl = kModWin | kModControl;
constexpr std::uint32_t kWinAlt = kModWin | kModAlt;

constexpr std::string_view kTaskbarPlace = "opens the program at that place on the taskbar";
constexpr std::string_view kEmoji = "opens the emoji panel";
constexpr std::string_view kSearch = "opens search";

// The shell's own shortcuts, as Microsoft lists them for Windows 10 and 11,
// then the secure attention sequence, the two that the system's window
// switching and Start take, Alt+F4 (every window's close), and F12, which
// RegisterHotKey keeps for the debugger. Keys the hot-key list lacks (Tab,
// Space, Break, the arrows) cannot be chosen and are left out.
constexpr std::array kReserved = std::to_array<ReservedHotKey>({
    {kWin, "A", "opens the quick settings"},
    {kWin, "B", "moves the focus to the notification area"},
    {kWin, "C", "opens Copilot"},
    {kWin, "D", "shows the desktop"},
    {kWin, "E", "opens File Explorer"},
    {kWin, "F", "opens the Feedback Hub"},
    {kWin, "G", "opens the Game Bar"},
    {kWin, "H", "starts voice typing"},
    {kWin, "I", "opens Settings"},
    {kWin, "K", "opens Cast"},
    {kWin, "L", "locks the computer"},
    {kWin, "M", "minimises all windows"},
    {kWin, "N", "opens the notification centre"},
    {kWin, "O", "locks the screen orientation"},
    {kWin, "P", "switches the display mode"},
    {kWin, "Q", kSearch},
    {kWin, "R", "opens the Run dialog"},
    {kWin, "S", kSearch},
    {kWin, "T", "cycles through the taskbar buttons"},
    {kWin, "U", "opens the accessibility settings"},
    {kWin, "V", "opens the clipboard history"},
    {kWin, "W", "opens the widgets"},
    {kWin, "X", "opens the Quick Link menu"},
    {kWin, "Z", "opens the snap layouts"},
    {kWin, "1", kTaskbarPlace},
    {kWin, "2", kTaskbarPlace},
    {kWin, "3", kTaskbarPlace},
    {kWin, "4", kTaskbarPlace},
    {kWin, "5", kTaskbarPlace},
    {kWin, "6", kTaskbarPlace},
    {kWin, "7", kTaskbarPlace},
    {kWin, "8", kTaskbarPlace},
    {kWin, "9", kTaskbarPlace},
    {kWin, "0", kTaskbarPlace},
    {kWin, ",", "peeks at the desktop"},
    {kWin, ".", kEmoji},
    {kWin, ";", kEmoji},
    {kWin, "=", "zooms in with the Magnifier"},
    {kWin, "-", "zooms out with the Magnifier"},
    {kWin, "Escape", "closes the Magnifier"},
    {kWin, "Home", "minimises all but the active window"},
    {kWin, "F1", "opens the Windows help"},
    {kWinShift, "S", "takes a screenshot of part of the screen"},
    {kWinShift, "M", "restores the minimised windows"},
    {kWinCtrl, "D", "adds a virtual desktop"},
    {kWinCtrl, "F4", "closes the virtual desktop"},
    {kWinCtrl, "F", "searches for computers on the network"},
    {kWinCtrl, "N", "opens the Narrator settings"},
    {kWinCtrl, "O", "opens the on-screen keyboard"},
    {kWinCtrl, "Q", "opens Quick Assist"},
    {kWinAlt, "D", "shows the date and time"},
    {kWinCtrl | kModShift, "B", "restarts the graphics driver"},
    {kModControl | kModAlt, "Delete", "opens the security screen"},
    {kModControl | kModShift, "Escape", "opens the Task Manager"},
    {kModControl, "Escape", "opens Start"},
    {kModAlt, "Escape", "switches to the next window"},
    {kModAlt, "F4", "closes the active window"},
    {0, "F12", "kept for the debugger"},
});

}  // namespace

std::span<const ReservedHotKey> ReservedHotKeys()
{
    return kReserved;
}

const ReservedHotKey* FindReservedHotKey(const TMacro& macro)
{
    const std::uint32_t modifiers = HotKeyModifiers(macro);
    const auto found = std::find_if(kReserved.begin(), kReserved.end(), [&](const ReservedHotKey& reserved) {
        return reserved.modifiers == modifiers && CompareIgnoringAsciiCase(reserved.key, macro.HotKey) == 0;
    });
    return found != kReserved.end() ? &*found : nullptr;
}

std::string KnownHotKeyHolder(const TMacro& macro, const TMacroList& macros, ICodePage& codePage,
                              const std::function<bool(std::size_t index)>& mayHold)
{
    // Windows first: no change to the other macros would make the
    // combination work.
    if (const ReservedHotKey* reserved = FindReservedHotKey(macro)) {
        return "reserved by Windows (" + std::string(reserved->description) + ")";
    }
    const std::string key = HotKeyClashKey(macro);
    for (std::size_t i = 0; i < macros.size(); ++i) {
        const TMacro& other = *macros[i].Macro;
        if (mayHold(i) && !other.HotKey.empty() && CompareIgnoringAsciiCase(HotKeyClashKey(other), key) == 0 &&
            ProgramListsClash(other.OnlyIn, macro.OnlyIn, codePage)) {
            return "also used by \"" + other.Name + "\"";
        }
    }
    return {};
}

std::string HotKeyStatusText(const TMacro& macro, const TMacroList& macros, int editIndex, IHotKeys& probe,
                             IKeyboard& keyboard, ICodePage& codePage)
{
    if (macro.HotKey.empty()) {
        return {};
    }
    // The list before the probe, which cannot see it: no macro's hot key is
    // registered while the window is open.
    std::string holder =
        KnownHotKeyHolder(macro, macros, codePage,
                          [editIndex](std::size_t i) { return static_cast<int>(i) != editIndex; });
    if (holder.empty()) {
        if (probe.Register(kHotKeyProbeId, HotKeyModifiers(macro), KeyNameToVirtualKey(macro.HotKey, keyboard))) {
            probe.Unregister(kHotKeyProbeId);
            holder = "free";
        } else {
            holder = kTakenByAnotherProgram;
        }
    }
    return HotKeyDisplayText(macro) + " is " + holder;
}

}  // namespace velmora
