#include "hotkeys/AbbreviationTrigger.h"

#include <utility>

namespace velmora {

AbbreviationTrigger::AbbreviationTrigger(IKeyWatch& watch, IForegroundWatch& foreground,
                                         HotKeyDispatcher& dispatcher, ICodePage& codePage)
    : m_watch(watch), m_foreground(foreground), m_dispatcher(dispatcher), m_matcher(codePage, foreground)
{
    m_watch.KeyPressed = [this](const WatchedKey& key) { KeyPressed(key); };
    m_watch.Clicked = [this] { m_matcher.Forget(); };
}

void AbbreviationTrigger::Attach()
{
    m_foreground.Changed = [this, before = std::move(m_foreground.Changed)] {
        if (before) {
            before();
        }
        m_matcher.Forget();
    };
    m_dispatcher.RunningChanged = [this, before = std::move(m_dispatcher.RunningChanged)](bool running) {
        // Marked before the run types anything, so that none of the user's
        // keys pressed meanwhile counts as typing.
        m_watch.SetMacroRunning(running);
        if (before) {
            before(running);
        }
    };
}

void AbbreviationTrigger::Follow(const TMacroList& macros)
{
    m_matcher.SetMacros(macros);
    if (m_matcher.HasAbbreviations()) {
        m_watch.Start();
    } else {
        m_watch.Stop();
    }
}

void AbbreviationTrigger::StopWatching()
{
    m_watch.Stop();
}

void AbbreviationTrigger::KeyPressed(const WatchedKey& key)
{
    std::optional<AbbreviationMatch> match = m_matcher.KeyPressed(key);
    if (!match || m_dispatcher.MacroRunning()) {
        return;
    }
    m_dispatcher.AbbreviationTyped(match->macro, match->characters);
    if (RunEnded) {
        RunEnded();
    }
}

}  // namespace velmora
