#pragma once

// Runs a macro and its chain, and performs the four kinds of action.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/KeyPlayback.h"
#include "engine/TextExpansion.h"
#include "macros/Macro.h"
#include "platform/Platform.h"

namespace velmora {

class MacroRunner : public IMacroActions {
public:
    // macroList is where chains look up their next macro; it is read at each
    // link, so a list replaced during a run is seen by the rest of the chain.
    MacroRunner(const Platform& platform, const TMacroList& macroList, RandomGenerator& random,
                std::function<bool()> slowdown = {}, std::function<bool()> unicodeInput = {});

    // Waits for the hot key to be let go (at depth 0), performs the action,
    // then follows the link, never running one macro twice in a chain.
    // Errors of an action end the run and pass through unchanged; so does
    // RunStopped after RequestStop.
    void RunMacro(const std::shared_ptr<TMacro>& macro, int depth = 0);
    // RunMacro for a macro its typed abbreviation set off: once the user's
    // modifiers are up, the abbreviation is taken back (one Backspace per
    // character), unless the window refuses the program's keys.
    void RunMacroReplacing(const std::shared_ptr<TMacro>& macro, std::size_t typedCharacters);

    // Ends the run in progress at its next key event or wait, with every key
    // let go and the clipboard given back, and no later macro of the chain.
    // A new run starts without the request.
    void RequestStop() { m_player.RequestStop(); }

    // True from the start of a run to its end, chain included.
    bool Running() const { return m_running; }

    MacroTextExpander& Expander() { return m_expander; }
    KeyPlayer& Player() { return m_player; }

    // The program's own commands; wired to its windows by the main window.
    std::function<void()> ShowQuickReference;
    std::function<void()> OpenOptions;
    // Tells the user an error that must not go unnoticed even though a run
    // reports nothing else (the session that was not ended).
    std::function<void(const std::string&)> ReportError;
    // Tells the user, unobtrusively, what a run did instead of typing.
    std::function<void(const std::u16string&)> ShowNotification;

    void Execute(const TTextMacro& action) override;
    void Execute(const TLaunchMacro& action) override;
    void Execute(const TSystemMacro& action) override;
    void Execute(const TVelmoraMacro& action) override;

private:
    void WaitForKeysReleased(std::uint32_t hotKey);
    // True when the window that has the keyboard takes no input from this
    // program; its text then goes to the clipboard.
    bool TargetRefusesInput();
    void HandOver(const std::string& keys);
    // A run of its own: waits for the keys, takes back erased typed
    // characters, then runs the chain.
    void RunFromTop(const std::shared_ptr<TMacro>& macro, std::uint32_t hotKey, std::size_t erased);
    void RunChainFrom(const std::shared_ptr<TMacro>& macro, int depth);
    void EndSession(std::uint32_t flags, bool needsPrivilege, const char* failure);

    Platform m_platform;
    const TMacroList& m_macroList;
    MacroTextExpander m_expander;
    KeyPlayer m_player;
    // Holding the records keeps them alive while their run is on the stack,
    // even if the options window replaces the macro list meanwhile.
    std::vector<std::shared_ptr<TMacro>> m_runningMacros;
    bool m_running = false;
    std::optional<ProcessStanding> m_ownStanding;
    // What this run left on the clipboard for a window above it, and the
    // window's title.
    std::string m_handedOverAnsi;
    std::u16string m_handedOverUnicode;
    std::u16string m_refusingWindow;
};

// Windows lets no program send input to a window of a process above it: of
// higher integrity, elevated while the sender is not, or one whose standing
// cannot even be read.
bool RefusesInputFrom(const ProcessStanding& target, const ProcessStanding& sender);

// What the user is told when a window above the program got the text on the
// clipboard instead.
std::u16string HandedOverNotice(std::u16string_view windowTitle);

// True when the launch action should start the file as a program: its
// extension (after the last backslash or colon) is ".exe", in any case.
bool HasExeExtension(std::string_view fileName);

}  // namespace velmora
