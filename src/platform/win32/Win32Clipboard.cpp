#include "platform/win32/Win32Clipboard.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Thread.h"
#include "platform/win32/Window.h"

namespace velmora::win32 {

namespace {

// Formats whose data is a handle the system cannot copy as memory. Each has a
// memory form the system makes from it (CF_DIB for CF_BITMAP and CF_PALETTE,
// CF_ENHMETAFILE for CF_METAFILEPICT), or it is drawn by its owner.
bool OnlyAHandle(UINT format)
{
    switch (format) {
    case CF_BITMAP:
    case CF_METAFILEPICT:
    case CF_PALETTE:
    case CF_OWNERDISPLAY:
    case CF_DSPBITMAP:
    case CF_DSPMETAFILEPICT:
    case CF_DSPENHMETAFILE:
        return true;
    default:
        // Private and GDI-object ranges hold handles the system never frees.
        return format >= CF_PRIVATEFIRST && format <= CF_GDIOBJLAST;
    }
}

// The bytes of one format of the open clipboard, or nothing when its owner
// gave none; tooLarge once the running total passes the limit.
std::optional<std::string> CopyFormat(UINT format, std::size_t& total, std::size_t limit, bool& tooLarge)
{
    const HANDLE handle = ::GetClipboardData(format);
    if (handle == nullptr) {
        return std::nullopt;
    }
    const bool metafile = format == CF_ENHMETAFILE;
    const auto metafileHandle = static_cast<HENHMETAFILE>(handle);
    const std::size_t size =
        metafile ? ::GetEnhMetaFileBits(metafileHandle, 0, nullptr) : ::GlobalSize(static_cast<HGLOBAL>(handle));
    if (size > limit - total) {
        tooLarge = true;
        return std::nullopt;
    }
    total += size;
    std::string bytes(size, '\0');
    if (size == 0) {
        return bytes;
    }
    if (metafile) {
        if (::GetEnhMetaFileBits(metafileHandle, static_cast<UINT>(size), reinterpret_cast<BYTE*>(bytes.data())) !=
            size) {
            return std::nullopt;
        }
        return bytes;
    }
    LockedGlobal<const char> data(static_cast<HGLOBAL>(handle));
    if (!data) {
        return std::nullopt;
    }
    std::memcpy(bytes.data(), data.Get(), size);
    return bytes;
}

// Hands a copy of the format to the open clipboard; the system owns it then.
bool PutOnClipboard(const ClipboardFormat& format)
{
    if (format.id == CF_ENHMETAFILE) {
        UniqueEnhancedMetafile metafile(::SetEnhMetaFileBits(static_cast<UINT>(format.bytes.size()),
                                                             reinterpret_cast<const BYTE*>(format.bytes.data())));
        if (!metafile || ::SetClipboardData(format.id, metafile.Get()) == nullptr) {
            return false;
        }
        metafile.Release();
        return true;
    }
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, format.bytes.size()));
    if (!memory) {
        return false;
    }
    if (!format.bytes.empty()) {
        LockedGlobal<char> data(memory.Get());
        if (!data) {
            return false;
        }
        std::memcpy(data.Get(), format.bytes.data(), format.bytes.size());
    }
    if (::SetClipboardData(format.id, memory.Get()) == nullptr) {
        return false;
    }
    memory.Release();
    return true;
}

bool PutAllOnClipboard(const ClipboardContent& content)
{
    return std::all_of(content.begin(), content.end(), PutOnClipboard);
}

}  // namespace

class Win32Clipboard::Owner : public Window<Owner> {
public:
    Owner()
    {
        if (!CreateWindowFor({.className = "VelmoraClipboardOwner", .caption = "", .style = 0,
                              .owner = HWND_MESSAGE})) {
            throw std::runtime_error("Cannot create the clipboard window");
        }
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    // Destroyed here, while HandleMessage can still render the last offer.
    ~Owner() { DestroyAttached(); }

    void Offer(const ClipboardContent& late)
    {
        m_pending = late;
        m_taken = false;
    }
    bool Taken() const { return m_taken; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_RENDERFORMAT: {
            const auto format = std::find_if(m_pending.begin(), m_pending.end(),
                                             [&](const ClipboardFormat& f) { return f.id == wParam; });
            if (format != m_pending.end()) {
                PutOnClipboard(*format);
                m_pending.erase(format);
                m_taken = true;
            }
            return 0;
        }
        case WM_RENDERALLFORMATS: {
            // Going away with an offer still open: leave it behind in full.
            ClipboardSession clipboard(Handle());
            if (clipboard && ::GetClipboardOwner() == Handle()) {
                PutAllOnClipboard(m_pending);
            }
            m_pending.clear();
            return 0;
        }
        case WM_DESTROYCLIPBOARD:
            // The clipboard was emptied; the offer is gone with it.
            m_pending.clear();
            return 0;
        default:
            return DefaultHandling(message, wParam, lParam);
        }
    }

private:
    ClipboardContent m_pending;
    bool m_taken = false;
};

Win32Clipboard::Win32Clipboard() : m_owner(std::make_unique<Owner>()) {}

Win32Clipboard::~Win32Clipboard() = default;

HWND Win32Clipboard::OwnerWindow() const
{
    return m_owner->Handle();
}

std::optional<ClipboardSnapshot> Win32Clipboard::Save(std::size_t limit)
{
    ClipboardSession clipboard(OwnerWindow());
    if (!clipboard) {
        return std::nullopt;
    }
    // Unchanged since this object put it there (the user's content given back
    // after the last paste): no need to copy it all again. Wine also leaks a
    // little memory on every GetClipboardData.
    if (m_placed && m_placed->sequence == ::GetClipboardSequenceNumber() && ::GetClipboardOwner() == OwnerWindow()) {
        std::size_t total = 0;
        for (const ClipboardFormat& format : m_placed->content) {
            total += format.bytes.size();
        }
        if (total <= limit) {
            return ClipboardSnapshot{.formats = m_placed->content, .tooLarge = false};
        }
    }
    ClipboardSnapshot snapshot;
    std::size_t total = 0;
    for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
        if (OnlyAHandle(format)) {
            continue;
        }
        auto bytes = CopyFormat(format, total, limit, snapshot.tooLarge);
        if (snapshot.tooLarge) {
            return ClipboardSnapshot{.formats = {}, .tooLarge = true};
        }
        if (bytes) {
            snapshot.formats.push_back({format, std::move(*bytes)});
        }
    }
    return snapshot;
}

bool Win32Clipboard::Replace(const ClipboardContent& content)
{
    m_placed.reset();
    {
        ClipboardSession clipboard(OwnerWindow());
        if (!clipboard) {
            return false;
        }
        ::EmptyClipboard();
        if (!PutAllOnClipboard(content)) {
            return false;
        }
    }
    m_placed = Placed{.content = content, .sequence = ::GetClipboardSequenceNumber()};
    return true;
}

bool Win32Clipboard::Offer(const ClipboardContent& late, const ClipboardContent& atOnce)
{
    ClipboardSession clipboard(OwnerWindow());
    if (!clipboard) {
        return false;
    }
    m_placed.reset();
    // Emptying drops an earlier offer (WM_DESTROYCLIPBOARD), so offer after it.
    ::EmptyClipboard();
    m_owner->Offer(late);
    for (const ClipboardFormat& format : late) {
        ::SetClipboardData(format.id, nullptr);
    }
    return PutAllOnClipboard(atOnce);
}

bool Win32Clipboard::WaitUntilTaken(std::chrono::milliseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    // A paste asks for the text with a message sent to the owner window.
    // Posted messages (hot keys, tray clicks) wait: they would start
    // something new in the middle of a macro.
    while (!m_owner->Taken()) {
        HandleSentMessages();
        if (m_owner->Taken()) {
            break;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left.count()), QS_SENDMESSAGE,
                                      MWMO_INPUTAVAILABLE);
    }
    return m_owner->Taken();
}

std::uint32_t Win32Clipboard::RegisterFormat(std::string_view name)
{
    return ::RegisterClipboardFormatA(std::string(name).c_str());
}

}  // namespace velmora::win32
