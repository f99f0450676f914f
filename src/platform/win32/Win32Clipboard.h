#pragma once

#include <memory>
#include <optional>

#include "platform/Clipboard.h"
#include "platform/win32/Win32.h"

namespace velmora::win32 {

// The clipboard with every format. Offered formats are rendered late by a
// hidden message-only window of the thread that made this object, so that
// thread must handle its messages (WaitUntilTaken does) for a paste to
// complete.
class Win32Clipboard : public IClipboard {
public:
    Win32Clipboard();
    ~Win32Clipboard() override;
    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;

    std::optional<ClipboardSnapshot> Save(std::size_t limit) override;
    bool Replace(const ClipboardContent& content) override;
    bool Offer(const ClipboardContent& late, const ClipboardContent& atOnce) override;
    bool WaitUntilTaken(std::chrono::milliseconds timeout) override;
    std::uint32_t RegisterFormat(std::string_view name) override;

    // The window that opens the clipboard and owns what this object puts on it.
    HWND OwnerWindow() const;

private:
    class Owner;
    std::unique_ptr<Owner> m_owner;
    // What Replace last put on the clipboard, and the clipboard's sequence
    // number right after: while both hold, Save knows the content already.
    struct Placed {
        ClipboardContent content;
        DWORD sequence = 0;
    };
    std::optional<Placed> m_placed;
};

}  // namespace velmora::win32
