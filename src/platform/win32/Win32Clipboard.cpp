#include "platform/win32/Win32Clipboard.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Thread.h"
#include "platform/win32/MessageBoxes.h"

namespace velmora::win32 {

namespace {

// Formats whose handle is a bitmap, a palette or a metafile picture: kept as
// a copy of the object.
bool CopiedAsObject(UINT format)
{
    switch (format) {
    case CF_BITMAP:
    case CF_DSPBITMAP:
    case CF_PALETTE:
    case CF_METAFILEPICT:
    case CF_DSPMETAFILEPICT:
        return true;
    default:
        return false;
    }
}

// Formats that cannot be kept: drawn by their owner, or handles of a kind
// only their owner knows (and which nobody frees).
bool LeftOut(UINT format)
{
    return format == CF_OWNERDISPLAY || (format >= CF_PRIVATEFIRST && format <= CF_GDIOBJLAST);
}

bool IsEnhancedMetafile(UINT format)
{
    return format == CF_ENHMETAFILE || format == CF_DSPENHMETAFILE;
}

UniqueGdiObject CopyPalette(HPALETTE palette)
{
    const UINT count = ::GetPaletteEntries(palette, 0, 0, nullptr);
    if (count == 0) {
        return {};
    }
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* entries = reinterpret_cast<LOGPALETTE*>(buffer.data());
    entries->palVersion = 0x300;
    entries->palNumEntries = static_cast<WORD>(count);
    if (::GetPaletteEntries(palette, 0, count, entries->palPalEntry) != count) {
        return {};
    }
    return UniqueGdiObject(::CreatePalette(entries));
}

// A bitmap, palette or metafile picture copied off the clipboard. The
// clipboard gets a fresh copy each time, so this one stays for another try.
class GdiCopy : public ClipboardObject {
public:
    // Nothing when the object cannot be copied.
    static std::shared_ptr<GdiCopy> Of(UINT format, HANDLE data)
    {
        auto copy = std::make_shared<GdiCopy>();
        if (format == CF_METAFILEPICT || format == CF_DSPMETAFILEPICT) {
            LockedGlobal<const METAFILEPICT> picture(static_cast<HGLOBAL>(data));
            if (!picture) {
                return nullptr;
            }
            copy->m_picture = *picture.Get();
            copy->m_metafile = UniqueMetafile(::CopyMetaFileA(picture.Get()->hMF, nullptr));
            copy->m_picture.hMF = copy->m_metafile.Get();
            copy->m_size = ::GetMetaFileBitsEx(copy->m_metafile.Get(), 0, nullptr);
            return copy->m_metafile ? copy : nullptr;
        }
        if (format == CF_PALETTE) {
            copy->m_object = CopyPalette(static_cast<HPALETTE>(data));
            copy->m_size = ::GetPaletteEntries(static_cast<HPALETTE>(copy->m_object.Get()), 0, 0, nullptr) *
                           sizeof(PALETTEENTRY);
        } else {
            copy->m_object = UniqueGdiObject(::CopyImage(data, IMAGE_BITMAP, 0, 0, 0));
            BITMAP bitmap{};
            if (::GetObjectA(copy->m_object.Get(), sizeof bitmap, &bitmap) == sizeof bitmap) {
                copy->m_size = static_cast<std::size_t>(bitmap.bmWidthBytes) * static_cast<std::size_t>(bitmap.bmHeight);
            }
        }
        return copy->m_object ? copy : nullptr;
    }

    std::size_t Size() const override { return m_size; }

    // Hands a new copy to the open clipboard; the system owns that one then.
    bool PutOnClipboard(UINT format) const
    {
        if (m_metafile) {
            UniqueMetafile metafile(::CopyMetaFileA(m_metafile.Get(), nullptr));
            UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT)));
            if (!metafile || !memory) {
                return false;
            }
            {
                LockedGlobal<METAFILEPICT> picture(memory.Get());
                if (!picture) {
                    return false;
                }
                *picture.Get() = m_picture;
                picture.Get()->hMF = metafile.Get();
            }
            if (::SetClipboardData(format, memory.Get()) == nullptr) {
                return false;
            }
            memory.Release();
            metafile.Release();
            return true;
        }
        UniqueGdiObject object(format == CF_PALETTE ? CopyPalette(static_cast<HPALETTE>(m_object.Get())).Release()
                                                    : ::CopyImage(m_object.Get(), IMAGE_BITMAP, 0, 0, 0));
        if (!object || ::SetClipboardData(format, object.Get()) == nullptr) {
            return false;
        }
        object.Release();
        return true;
    }

private:
    UniqueGdiObject m_object;
    UniqueMetafile m_metafile;
    METAFILEPICT m_picture{};
    std::size_t m_size = 0;
};

// The bytes of one format of the open clipboard, or nothing when its owner
// gave none; tooLarge once the running total passes the limit.
std::optional<ClipboardFormat> CopyFormat(UINT format, std::size_t& total, std::size_t limit, bool& tooLarge)
{
    const HANDLE handle = ::GetClipboardData(format);
    if (handle == nullptr) {
        return std::nullopt;
    }
    if (CopiedAsObject(format)) {
        std::shared_ptr<GdiCopy> copy = GdiCopy::Of(format, handle);
        if (!copy) {
            return std::nullopt;
        }
        if (copy->Size() > limit - total) {
            tooLarge = true;
            return std::nullopt;
        }
        total += copy->Size();
        return ClipboardFormat{.id = format, .bytes = {}, .object = std::move(copy)};
    }
    const bool metafile = IsEnhancedMetafile(format);
    const auto metafileHandle = static_cast<HENHMETAFILE>(handle);
    const std::size_t size =
        metafile ? ::GetEnhMetaFileBits(metafileHandle, 0, nullptr) : ::GlobalSize(static_cast<HGLOBAL>(handle));
    if (size > limit - total) {
        tooLarge = true;
        return std::nullopt;
    }
    total += size;
    ClipboardFormat copy{.id = format, .bytes = std::string(size, '\0'), .object = nullptr};
    if (size == 0) {
        return copy;
    }
    if (metafile) {
        if (::GetEnhMetaFileBits(metafileHandle, static_cast<UINT>(size), reinterpret_cast<BYTE*>(copy.bytes.data())) !=
            size) {
            return std::nullopt;
        }
        return copy;
    }
    LockedGlobal<const char> data(static_cast<HGLOBAL>(handle));
    if (!data) {
        return std::nullopt;
    }
    std::memcpy(copy.bytes.data(), data.Get(), size);
    return copy;
}

// Hands a copy of the format to the open clipboard; the system owns it then.
bool PutOnClipboard(const ClipboardFormat& format)
{
    if (format.object) {
        const auto* copy = dynamic_cast<const GdiCopy*>(format.object.get());
        return copy != nullptr && copy->PutOnClipboard(format.id);
    }
    if (IsEnhancedMetafile(format.id)) {
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

DWORD ForegroundProcess()
{
    DWORD process = 0;
    if (const HWND foreground = ::GetForegroundWindow()) {
        ::GetWindowThreadProcessId(foreground, &process);
    }
    return process;
}

}  // namespace

// A message-only window: no dialog, never shown, it only renders what the
// clipboard asks of it.
class Win32Clipboard::Owner {
public:
    explicit Owner(ProcessQuery foregroundProcess) : m_foregroundProcess(std::move(foregroundProcess))
    {
        constexpr const char* kClassName = "VelmoraClipboardOwner";
        const HINSTANCE instance = ::GetModuleHandleA(nullptr);
        WNDCLASSEXA existing{.cbSize = sizeof(WNDCLASSEXA)};
        if (!::GetClassInfoExA(instance, kClassName, &existing)) {
            const WNDCLASSEXA windowClass{.cbSize = sizeof(WNDCLASSEXA),
                                          .lpfnWndProc = &Owner::Procedure,
                                          .hInstance = instance,
                                          .lpszClassName = kClassName};
            ::RegisterClassExA(&windowClass);
        }
        ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
        if (m_window == nullptr) {
            throw std::runtime_error("Cannot create the clipboard window");
        }
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    // Destroyed while still attached, so the last offer can be rendered.
    ~Owner()
    {
        if (m_window != nullptr) {
            ::DestroyWindow(m_window);
        }
    }

    HWND Handle() const { return m_window; }

    void Offer(const ClipboardContent& late)
    {
        m_pending = late;
        m_taken = false;
    }
    bool Taken() const { return m_taken; }
    void ForgetRenders() { m_renders = 0; }
    DWORD Renders() const { return m_renders; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_RENDERFORMAT: {
            const auto format = std::find_if(m_pending.begin(), m_pending.end(),
                                             [&](const ClipboardFormat& f) { return f.id == wParam; });
            if (format != m_pending.end()) {
                PutOnClipboard(*format);
                m_pending.erase(format);
                ++m_renders;
                m_taken = m_taken || OpenedByForegroundProgram();
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
            return ::DefWindowProcA(m_window, message, wParam, lParam);
        }
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        if (message == WM_NCCREATE) {
            auto* owner = static_cast<Owner*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
            owner->m_window = window;
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        }
        auto* owner = reinterpret_cast<Owner*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (owner == nullptr) {
            return ::DefWindowProcA(window, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            owner->m_window = nullptr;
            return ::DefWindowProcA(window, message, wParam, lParam);
        }
        try {
            return owner->HandleMessage(message, wParam, lParam);
        } catch (const std::exception& error) {
            ShowErrorBox(nullptr, error.what());
        }
        return 0;
    }

    // The paste is the foreground program's; a clipboard-sync tool reading
    // the offer first must not end the wait before the paste has its text.
    // A reader that opened the clipboard without a window cannot be told.
    bool OpenedByForegroundProgram() const
    {
        const HWND opener = ::GetOpenClipboardWindow();
        DWORD process = 0;
        if (opener == nullptr || ::GetWindowThreadProcessId(opener, &process) == 0) {
            return false;
        }
        return process == (m_foregroundProcess ? m_foregroundProcess() : ForegroundProcess());
    }

    HWND m_window = nullptr;
    ProcessQuery m_foregroundProcess;
    ClipboardContent m_pending;
    bool m_taken = false;
    DWORD m_renders = 0;
};

Win32Clipboard::Win32Clipboard(ProcessQuery foregroundProcess)
    : m_owner(std::make_unique<Owner>(std::move(foregroundProcess)))
{
}

Win32Clipboard::~Win32Clipboard() = default;

HWND Win32Clipboard::OwnerWindow() const
{
    return m_owner->Handle();
}

void Win32Clipboard::NoteOwnChange()
{
    // Read after closing: closing may add the formats the system makes.
    m_ownSequence = ::GetClipboardSequenceNumber();
    m_owner->ForgetRenders();
}

bool Win32Clipboard::StillOurs() const
{
    // Another program that empties the clipboard takes it over. Windows may
    // count each late rendering as a change too (Wine does not), so those
    // are allowed for.
    return m_ownSequence && ::GetClipboardOwner() == OwnerWindow() &&
           ::GetClipboardSequenceNumber() - *m_ownSequence <= m_owner->Renders();
}

std::optional<ClipboardSnapshot> Win32Clipboard::Save(std::size_t limit)
{
    ClipboardSession clipboard(OwnerWindow());
    if (!clipboard) {
        return std::nullopt;
    }
    ClipboardSnapshot snapshot;
    std::size_t total = 0;
    for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
        if (LeftOut(format)) {
            continue;
        }
        auto copy = CopyFormat(format, total, limit, snapshot.tooLarge);
        if (snapshot.tooLarge) {
            return ClipboardSnapshot{.formats = {}, .tooLarge = true};
        }
        if (copy) {
            snapshot.formats.push_back(std::move(*copy));
        }
    }
    return snapshot;
}

bool Win32Clipboard::Replace(const ClipboardContent& content)
{
    bool put = false;
    {
        ClipboardSession clipboard(OwnerWindow());
        if (!clipboard) {
            return false;
        }
        ::EmptyClipboard();
        put = PutAllOnClipboard(content);
    }
    NoteOwnChange();
    return put;
}

bool Win32Clipboard::Offer(const ClipboardContent& late, const ClipboardContent& atOnce)
{
    bool put = false;
    {
        ClipboardSession clipboard(OwnerWindow());
        if (!clipboard) {
            return false;
        }
        // Emptying drops an earlier offer (WM_DESTROYCLIPBOARD), so offer after it.
        ::EmptyClipboard();
        m_owner->Offer(late);
        // The marks among atOnce come first, so that clipboard monitors see
        // them before any text.
        put = PutAllOnClipboard(atOnce);
        for (const ClipboardFormat& format : late) {
            ::SetClipboardData(format.id, nullptr);
        }
    }
    NoteOwnChange();
    return put;
}

IClipboard::RestoreResult Win32Clipboard::Restore(const ClipboardContent& content)
{
    bool put = false;
    {
        ClipboardSession clipboard(OwnerWindow());
        if (!clipboard) {
            return RestoreResult::Busy;
        }
        if (!StillOurs()) {
            return RestoreResult::Changed;
        }
        ::EmptyClipboard();
        put = PutAllOnClipboard(content);
    }
    NoteOwnChange();
    return put ? RestoreResult::Restored : RestoreResult::Busy;
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
