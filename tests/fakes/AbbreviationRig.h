#pragma once

// An abbreviation trigger wired to fakes as the main window wires the real
// ones: the key and foreground watches, and a dispatcher with its runner.

#include "engine/MacroRunner.h"
#include "engine/Random.h"
#include "fakes/FakeForegroundWatch.h"
#include "fakes/FakeHotKeys.h"
#include "fakes/FakeKeyWatch.h"
#include "fakes/FakePlatform.h"
#include "hotkeys/AbbreviationTrigger.h"
#include "hotkeys/HotKeys.h"

namespace velmora::tests {

struct AbbreviationRig {
    FakePlatform platform;
    TMacroList macros;
    RandomGenerator random;
    MacroRunner runner{platform.Get(), macros, random};
    FakeHotKeys hotKeys;
    HotKeyDispatcher dispatcher{runner, macros, hotKeys, platform.codePage};
    FakeKeyWatch watch;
    FakeForegroundWatch foreground;
    AbbreviationTrigger trigger{watch, foreground, dispatcher, platform.codePage};
};

}  // namespace velmora::tests
