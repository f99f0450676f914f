#pragma once

#include <string>

#include "platform/KeyWatch.h"

namespace velmora::tests {

// Delivers what a test types only while started, as the real watch hears
// nothing then; a key pressed while a run is marked carries duringRun.
class FakeKeyWatch : public IKeyWatch {
public:
    bool watching = false;
    bool macroRunning = false;

    bool Start() override { return watching = true; }
    void Stop() override { watching = false; }
    bool Watching() const override { return watching; }
    void SetMacroRunning(bool running) override { macroRunning = running; }

    void Press(WatchedKey key)
    {
        key.duringRun = key.duringRun || macroRunning;
        if (watching && KeyPressed) {
            KeyPressed(key);
        }
    }
    // Each character from a key of its own.
    void Type(std::u16string_view text)
    {
        for (const char16_t c : text) {
            Press({.virtualKey = VirtualKeyOf(c), .text = std::u16string(1, c)});
        }
    }
    void Click()
    {
        if (watching && Clicked) {
            Clicked();
        }
    }

    // A letter's or digit's own key, the space bar, or else a punctuation key.
    static std::uint8_t VirtualKeyOf(char16_t c)
    {
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - u'a' + u'A');
        }
        const bool own = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || c == u' ';
        return own ? static_cast<std::uint8_t>(c) : 0xBA;
    }
};

}  // namespace velmora::tests
