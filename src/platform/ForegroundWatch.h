#pragma once

// Which program the user works in, and news of a change.

#include <functional>
#include <string>

namespace velmora {

class IForegroundWatch {
public:
    virtual ~IForegroundWatch() = default;
    // The image file name (no folder, e.g. u"notepad.exe") of the foreground window's process; empty when unknown.
    virtual std::u16string ForegroundProgram() = 0;
    // Called on the UI thread after the foreground window changed.
    std::function<void()> Changed;
};

}  // namespace velmora
