#pragma once

// Sets macros off by their typed abbreviations: hears the key watch, follows
// the typing with the matcher, and has the dispatcher run the macro.

#include <functional>

#include "hotkeys/AbbreviationMatcher.h"
#include "hotkeys/HotKeys.h"
#include "platform/ForegroundWatch.h"
#include "platform/KeyWatch.h"

namespace velmora {

class AbbreviationTrigger {
public:
    // Listens to the watch's keys and clicks; Attach adds the listeners that
    // others share.
    AbbreviationTrigger(IKeyWatch& watch, IForegroundWatch& foreground, HotKeyDispatcher& dispatcher,
                        ICodePage& codePage);
    AbbreviationTrigger(const AbbreviationTrigger&) = delete;
    AbbreviationTrigger& operator=(const AbbreviationTrigger&) = delete;

    // Adds to whatever listens already: a foreground change makes the typing
    // be forgotten, and the watch marks the keys pressed during a run.
    void Attach();

    // Takes the list's abbreviations. The watch runs only while one macro
    // has one: otherwise no key is ever looked at.
    void Follow(const TMacroList& macros);
    void StopWatching();

    // True while nothing may match; see AbbreviationMatcher::Paused.
    std::function<bool()>& Paused() { return m_matcher.Paused; }
    // Called once a run the trigger started has ended.
    std::function<void()> RunEnded;

private:
    void KeyPressed(const WatchedKey& key);

    IKeyWatch& m_watch;
    IForegroundWatch& m_foreground;
    HotKeyDispatcher& m_dispatcher;
    AbbreviationMatcher m_matcher;
};

}  // namespace velmora
