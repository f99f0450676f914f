#pragma once

// The clipboard's text (CF_TEXT). Another program may hold the clipboard open
// for a moment, so every operation can fail "for now"; callers retry.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

class IClipboard {
public:
    virtual ~IClipboard() = default;
    // The text on the clipboard, empty when it holds none; nothing when the
    // clipboard cannot be opened now.
    virtual std::optional<std::string> ReadText() = 0;
    // Empties every format and puts the text (up to its first 0 byte) on the
    // clipboard; false when the clipboard cannot be opened now.
    virtual bool ReplaceText(std::string_view text) = 0;
    // As ReplaceText, but the text is handed over only when a program asks
    // for it, so WaitUntilTaken can tell when a paste has really happened.
    virtual bool OfferText(std::string_view text) = 0;
    // Handles the thread's messages until the offered text has been taken or
    // the time is up; true when it was taken.
    virtual bool WaitUntilTaken(std::chrono::milliseconds timeout) = 0;
};

}  // namespace velmora
