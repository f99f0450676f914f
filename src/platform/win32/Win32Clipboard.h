#pragma once

#include <functional>
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
    // The id of the process whose window is in the foreground, which alone
    // takes an offer; tests put a stand-in in its place.
    using ProcessQuery = std::function<DWORD()>;

    explicit Win32Clipboard(ProcessQuery foregroundProcess = {});
    ~Win32Clipboard() override;
    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;

    std::optional<ClipboardSnapshot> Save(std::size_t limit) override;
    bool Replace(const ClipboardContent& content) override;
    bool Offer(const ClipboardContent& late, const ClipboardContent& atOnce) override;
    bool WaitUntilTaken(std::chrono::milliseconds timeout) override;
    RestoreResult Restore(const ClipboardContent& content) override;
    std::uint32_t RegisterFormat(std::string_view name) override;

    // The window that opens the clipboard and owns what this object puts on it.
    HWND OwnerWindow() const;

private:
    // Called after this object emptied the clipboard and closed it again.
    void NoteOwnChange();
    // With the clipboard open: nothing but this object changed it since.
    bool StillOurs() const;

    class Owner;
    std::unique_ptr<Owner> m_owner;
    // The clipboard's sequence number right after this object last changed it.
    std::optional<DWORD> m_ownSequence;
};

}  // namespace velmora::win32
