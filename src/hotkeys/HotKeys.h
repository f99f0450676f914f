#pragma once

// The link between macros and system hot keys: key names, the two ways a hot
// key is written, registration of every macro's hot key, and dispatch.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/MacroRunner.h"
#include "macros/Macro.h"
#include "platform/ForegroundWatch.h"
#include "platform/HotKeys.h"
#include "platform/Keyboard.h"

namespace velmora {

// A letter or digit is its own virtual key; other characters go through the
// keyboard layout, falling back to the US key in the same place (255 when
// there is none);
// "F1" to "F24" and the named keys have fixed codes; anything else is 0.
std::uint32_t KeyNameToVirtualKey(std::string_view name, IKeyboard& keyboard);

// "Win + Shift + Ctrl + Alt + Key": how every list shows a hot key.
std::string HotKeyDisplayText(const TMacro& macro);
// "Win + Ctrl + Shift + Alt + Key": the order of registration, for the error list.
std::string HotKeyRegistrationText(const TMacro& macro);
// "[Ctrl] + [Shift] + [Alt] + [Win] + Key": the key under which the options
// window looks for macros sharing a hot key.
std::string HotKeyClashKey(const TMacro& macro);
// The kMod* bits of the macro's four flags, as RegisterHotKey takes them.
std::uint32_t HotKeyModifiers(const TMacro& macro);

// Macros that share a combination take turns at it: each has its own list
// of programs, and the one that fits the program in front is registered.
// A macro for named programs beats one for every program; where none fits,
// nothing is registered and the key reaches the program as it is.
class HotKeyRegistrar {
public:
    HotKeyRegistrar(IHotKeys& hotKeys, IKeyboard& keyboard, ICodePage& codePage, IForegroundWatch& foreground)
        : m_hotKeys(hotKeys), m_keyboard(keyboard), m_codePage(codePage), m_foreground(foreground)
    {
    }

    // Registers, per combination, the macro that fits the foreground program,
    // storing every macro's VirtualKey. Each combination is tried with the
    // system once, whichever macro it is for now. Returns one line "[keys]
    // name - what holds it" per refused hot key, in list order: Windows,
    // another program, or an earlier macro of the same combination whose
    // program list can claim the same program.
    std::vector<std::string> RegisterHotKeys(const TMacroList& macros);
    // Unregisters every macro of the list, and whatever this registrar holds.
    void UnregisterHotKeys(const TMacroList& macros);
    // The foreground program changed: the combinations whose macro changed
    // are registered for the new one. Nothing while no hot key is in force.
    void ForegroundChanged();

private:
    // The macros of one combination that the system let it have, in list order.
    struct Combination {
        std::uint32_t modifiers = 0;
        std::uint32_t virtualKey = 0;
        std::vector<std::shared_ptr<TMacro>> macros;
        // The macro registered now; null when none is.
        std::shared_ptr<TMacro> registered;
    };

    // The macro that fits `program`, or null.
    std::shared_ptr<TMacro> Choose(const Combination& combination, std::u16string_view program) const;
    void Follow(Combination& combination, std::shared_ptr<TMacro> chosen);
    bool Register(const TMacro& macro, const Combination& combination);

    IHotKeys& m_hotKeys;
    IKeyboard& m_keyboard;
    ICodePage& m_codePage;
    IForegroundWatch& m_foreground;
    std::vector<Combination> m_combinations;
};

// Runs the macro of a hot key. A hot key that arrives while a macro runs is
// dropped, as are those queued up to its last stop point (before each key it
// types and inside its waits); one pressed after that runs next. A run that
// fails part-way is told through ReportFailure.
class HotKeyDispatcher {
public:
    HotKeyDispatcher(MacroRunner& runner, const TMacroList& macros, IHotKeys& hotKeys, ICodePage& codePage)
        : m_runner(runner), m_macros(macros), m_hotKeys(hotKeys), m_codePage(codePage)
    {
        // Presses while a macro runs (or while a key repeats) are no request
        // for another run: they would type the text twice. They are dropped
        // as they come, not when the run ends: a press made once the text is
        // all there (and the clipboard back) is a new request, however long
        // the run then takes to unwind.
        m_runner.Player().AtStopPoint = [this] { m_hotKeys.DiscardQueued(); };
    }

    std::function<void(const std::u16string&)> ReportFailure;
    // Told true as a run starts and false once it has ended.
    std::function<void(bool running)> RunningChanged;

    void WMHotKey(std::int32_t id);
    // Runs the macro whose abbreviation was just typed, as its hot key would,
    // after taking back the abbreviation's characters; dropped, as a hot key
    // is, while a macro runs.
    void AbbreviationTyped(const std::shared_ptr<TMacro>& macro, std::size_t typedCharacters);
    bool MacroRunning() const { return m_macroRunning; }
    // Asks the run in progress to stop at its next key event; false when no
    // macro runs. WMHotKey returns once it has stopped.
    bool StopRunningMacro();

private:
    void Run(const std::shared_ptr<TMacro>& macro, std::size_t typedCharacters);

    MacroRunner& m_runner;
    const TMacroList& m_macros;
    IHotKeys& m_hotKeys;
    ICodePage& m_codePage;
    bool m_macroRunning = false;
};

}  // namespace velmora
