#pragma once

#include <memory>

#include "platform/Clipboard.h"
#include "platform/win32/Win32.h"

namespace velmora::win32 {

// The clipboard's CF_TEXT. Offered text is rendered late by a hidden
// message-only window of the thread that made this object, so that thread
// must handle its messages (WaitUntilTaken does) for a paste to complete.
class Win32Clipboard : public IClipboard {
public:
    Win32Clipboard();
    ~Win32Clipboard() override;
    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;

    std::optional<std::string> ReadText() override;
    bool ReplaceText(std::string_view text) override;
    bool OfferText(std::string_view text) override;
    bool WaitUntilTaken(std::chrono::milliseconds timeout) override;

    // The window that opens the clipboard and owns what this object puts on it.
    HWND OwnerWindow() const;

private:
    class Owner;
    std::unique_ptr<Owner> m_owner;
};

}  // namespace velmora::win32
