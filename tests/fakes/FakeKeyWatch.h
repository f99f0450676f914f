#pragma once

#include <string>

#include "platform/KeyWatch.h"

namespace velmora::tests {

// Delivers what a test types, but only while started, as the real watch hears
// nothing then; a key pressed while a run is marked carries duringRun.
class FakeKeyWatch : public IKeyWatch {
public:
    bool watching = false;
    bool macroRunning = false;
    int starts = 0;
    int stops = 0;

    bool Start() override
    {
        if (!watching) {
            ++starts;
        }
        watching = true;
        return true;
    }
    void Stop() override
    {
        if (watching) {
            ++stops;
        }
        watching = false;
    }
    bool Watching() const override { return watching; }
    void SetMacroRunning(bool running) override { macroRunning = running; }

    // The key as the watch would hand it over.
    void Press(WatchedKey key)
    {
        key.duringRun = key.duringRun || macroRunning;
        if (watching && KeyPressed) {
            KeyPressed(key);
        }
    }
    // Each character as a key of its own that types it.
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

    // A letter's or digit's own key; other characters a key of the
    // punctuation range, as no test looks at which.
    static std::uint8_t VirtualKeyOf(char16_t c)
    {
        if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z')) {
            return static_cast<std::uint8_t>(c);
        }
        if (c >= u'a' && c <= u'z') {
            return static_cast<std::uint8_t>(c - u'a' + u'A');
        }
        return c == u' ' ? 0x20 : 0xBA;
    }
};

}  // namespace velmora::tests
