#pragma once

// What the user types in any program, for abbreviations: each key pressed,
// turned into the characters it types, and each mouse click. Nothing is kept
// here; the listener decides what to remember.

#include <cstdint>
#include <functional>
#include <string>

namespace velmora {

// The modifiers held while a key went down.
inline constexpr std::uint8_t kHeldShift = 1;
inline constexpr std::uint8_t kHeldCtrl = 2;
inline constexpr std::uint8_t kHeldAlt = 4;
inline constexpr std::uint8_t kHeldWin = 8;

// One key pressed (never a release), in the order pressed.
struct WatchedKey {
    // The Windows virtual key (see platform/Keyboard.h).
    std::uint8_t virtualKey = 0;
    // kHeld* bits. AltGr comes as Ctrl and Alt together.
    std::uint8_t held = 0;
    // What it types in the foreground window's keyboard layout: usually one
    // character, none for keys that type nothing (and for a dead key, whose
    // character comes with the next key).
    std::u16string text;
    // It types something the watch cannot tell: the key after a dead key,
    // whose character depends on how the program combines the two.
    bool unknownText = false;
    // It carries the program's own mark: its own playback sent it.
    bool own = false;
    // It was pressed while a macro ran (see IKeyWatch::SetMacroRunning).
    bool duringRun = false;
    // An input method of the foreground window takes it, or is open there:
    // what arrives in the window is not what the key types.
    bool composing = false;
};

class IKeyWatch {
public:
    virtual ~IKeyWatch() = default;
    // Starts watching; false when the system refuses. Harmless while watching.
    virtual bool Start() = 0;
    // Nothing more reaches the listeners once this returns; harmless when stopped.
    virtual void Stop() = 0;
    virtual bool Watching() const = 0;
    // Marks the keys pressed from now on as pressed during a run (or no
    // longer). A key is marked as it is pressed, not when the listener hears
    // of it, which may be after the run.
    virtual void SetMacroRunning(bool running) = 0;

    // Called on the UI thread for each key pressed.
    std::function<void(const WatchedKey&)> KeyPressed;
    // Called on the UI thread for each mouse button pressed.
    std::function<void()> Clicked;
};

}  // namespace velmora
