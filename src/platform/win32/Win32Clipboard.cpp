#include "platform/win32/Win32Clipboard.h"

#include <cstring>
#include <stdexcept>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Thread.h"
#include "platform/win32/Window.h"

namespace velmora::win32 {

namespace {

// The clipboard's text ends at its first 0 byte, as every reader sees it.
std::string_view UpToFirstZero(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

// Hands a copy of the text to the open clipboard; the system owns it then.
bool PutOnClipboard(std::string_view text)
{
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    if (!memory) {
        return false;
    }
    {
        LockedGlobal<char> data(memory.Get());
        if (!data) {
            return false;
        }
        std::memcpy(data.Get(), text.data(), text.size());
        data.Get()[text.size()] = '\0';
    }
    if (::SetClipboardData(CF_TEXT, memory.Get()) == nullptr) {
        return false;
    }
    memory.Release();
    return true;
}

}  // namespace

class Win32Clipboard::Owner : public Window<Owner> {
public:
    Owner()
    {
        if (!CreateWindowFor({.className = "VelmoraClipboardOwner", .caption = "", .style = 0,
                              .parent = HWND_MESSAGE})) {
            throw std::runtime_error("Cannot create the clipboard window");
        }
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    // Destroyed here, while HandleMessage can still render the last offer.
    ~Owner()
    {
        if (Handle()) {
            ::DestroyWindow(Handle());
        }
    }

    void Offer(std::string_view text)
    {
        m_pending = std::string(text);
        m_hasPending = true;
        m_taken = false;
    }
    bool Taken() const { return m_taken; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_RENDERFORMAT:
            if (wParam == CF_TEXT && m_hasPending) {
                Render();
                m_taken = true;
            }
            return 0;
        case WM_RENDERALLFORMATS: {
            // Going away with an offer still open: leave the text behind.
            ClipboardSession clipboard(Handle());
            if (clipboard && ::GetClipboardOwner() == Handle() && m_hasPending) {
                Render();
            }
            return 0;
        }
        case WM_DESTROYCLIPBOARD:
            // Someone else emptied the clipboard; the offer is gone with it.
            Drop();
            return 0;
        default:
            return DefaultHandling(message, wParam, lParam);
        }
    }

private:
    void Render()
    {
        PutOnClipboard(m_pending);
        Drop();
    }
    void Drop()
    {
        m_pending.clear();
        m_hasPending = false;
    }

    std::string m_pending;
    bool m_hasPending = false;
    bool m_taken = false;
};

Win32Clipboard::Win32Clipboard() : m_owner(std::make_unique<Owner>()) {}

Win32Clipboard::~Win32Clipboard() = default;

HWND Win32Clipboard::OwnerWindow() const
{
    return m_owner->Handle();
}

std::optional<std::string> Win32Clipboard::ReadText()
{
    ClipboardSession clipboard(OwnerWindow());
    if (!clipboard) {
        return std::nullopt;
    }
    const HANDLE memory = ::GetClipboardData(CF_TEXT);
    if (memory == nullptr) {
        return std::string();
    }
    LockedGlobal<const char> data(memory);
    if (!data) {
        return std::string();
    }
    // Bounded by the block, in case a program put text without its 0 there.
    return std::string(data.Get(), ::strnlen(data.Get(), ::GlobalSize(memory)));
}

bool Win32Clipboard::ReplaceText(std::string_view text)
{
    ClipboardSession clipboard(OwnerWindow());
    if (!clipboard) {
        return false;
    }
    ::EmptyClipboard();
    return PutOnClipboard(UpToFirstZero(text));
}

bool Win32Clipboard::OfferText(std::string_view text)
{
    ClipboardSession clipboard(OwnerWindow());
    if (!clipboard) {
        return false;
    }
    // Emptying drops an earlier offer (WM_DESTROYCLIPBOARD), so offer after it.
    ::EmptyClipboard();
    m_owner->Offer(UpToFirstZero(text));
    ::SetClipboardData(CF_TEXT, nullptr);
    return true;
}

bool Win32Clipboard::WaitUntilTaken(std::chrono::milliseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    while (!m_owner->Taken()) {
        if (DispatchWaitingMessages() || m_owner->Taken()) {
            break;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left.count()), QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
    }
    return m_owner->Taken();
}

}  // namespace velmora::win32
