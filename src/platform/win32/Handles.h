#pragma once

// Move-only owners of system handles. Copying is deleted so a handle can
// never be closed twice.

#include <utility>

#include "platform/win32/Win32.h"

namespace velmora::win32 {

template <typename Traits>
class UniqueResource {
public:
    using Handle = typename Traits::Handle;

    UniqueResource() = default;
    explicit UniqueResource(Handle handle) : m_handle(handle) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : m_handle(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    ~UniqueResource() { Reset(); }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return Traits::IsValid(m_handle); }

    Handle Release() { return std::exchange(m_handle, Traits::Invalid()); }
    // Closes the handle now; true when there was none or it closed cleanly.
    bool Reset(Handle handle = Traits::Invalid())
    {
        const Handle old = std::exchange(m_handle, handle);
        return !Traits::IsValid(old) || Traits::Close(old);
    }

private:
    Handle m_handle = Traits::Invalid();
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static bool Close(Handle h) { return ::CloseHandle(h) != FALSE; }
};

struct WindowTraits {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::DestroyWindow(h) != FALSE; }
};

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::DeleteObject(h) != FALSE; }
};

struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::GlobalFree(h) == nullptr; }
};

struct EnhancedMetafileTraits {
    using Handle = HENHMETAFILE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::DeleteEnhMetaFile(h) != FALSE; }
};

// A Windows 3.x metafile, as a CF_METAFILEPICT picture holds one.
struct MetafileTraits {
    using Handle = HMETAFILE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::DeleteMetaFile(h) != FALSE; }
};

struct AcceleratorTableTraits {
    using Handle = HACCEL;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::DestroyAcceleratorTable(h) != FALSE; }
};

struct MenuTraits {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    // Destroys the submenus with it.
    static bool Close(Handle h) { return ::DestroyMenu(h) != FALSE; }
};

// A device context made with CreateDC or CreateCompatibleDC.
struct DeviceContextTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::DeleteDC(h) != FALSE; }
};

// An icon made by LoadImage without LR_SHARED.
struct IconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::DestroyIcon(h) != FALSE; }
};

using UniqueHandle = UniqueResource<FileHandleTraits>;
using UniqueIcon = UniqueResource<IconTraits>;
using UniqueDeviceContext = UniqueResource<DeviceContextTraits>;
using UniqueMenu = UniqueResource<MenuTraits>;
using UniqueWindow = UniqueResource<WindowTraits>;
using UniqueGdiObject = UniqueResource<GdiObjectTraits>;
using UniqueGlobal = UniqueResource<GlobalMemoryTraits>;
using UniqueEnhancedMetafile = UniqueResource<EnhancedMetafileTraits>;
using UniqueMetafile = UniqueResource<MetafileTraits>;
using UniqueAcceleratorTable = UniqueResource<AcceleratorTableTraits>;

// A window's (or, for null, the screen's) device context from GetDC, released
// with the object.
class WindowDC {
public:
    explicit WindowDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC()
    {
        if (m_dc) {
            ::ReleaseDC(m_window, m_dc);
        }
    }

    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// A GDI object selected into a device context; the previous one is put back
// with the object.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject()
    {
        if (m_previous != nullptr) {
            ::SelectObject(m_dc, m_previous);
        }
    }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// The clipboard held open for as long as the object lives.
class ClipboardSession {
public:
    explicit ClipboardSession(HWND owner) : m_open(::OpenClipboard(owner) != FALSE) {}
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    ~ClipboardSession()
    {
        if (m_open) {
            ::CloseClipboard();
        }
    }

    explicit operator bool() const { return m_open; }

private:
    bool m_open;
};

// A locked view of global memory, unlocked again on destruction.
template <typename T>
class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL memory) : m_memory(memory), m_data(static_cast<T*>(::GlobalLock(memory))) {}
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    ~LockedGlobal()
    {
        if (m_data) {
            ::GlobalUnlock(m_memory);
        }
    }

    T* Get() const { return m_data; }
    explicit operator bool() const { return m_data != nullptr; }

private:
    HGLOBAL m_memory;
    T* m_data;
};

// Never holds a predefined root such as HKEY_CURRENT_USER, which is not closed.
struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::RegCloseKey(h) == ERROR_SUCCESS; }
};

using UniqueKey = UniqueResource<RegistryKeyTraits>;

// Memory the system handed out with LocalAlloc, such as a converted
// security descriptor or SID string.
struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::LocalFree(h) == nullptr; }
};

// A DLL this program loaded itself.
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::FreeLibrary(h) != FALSE; }
};

// A hook from SetWindowsHookEx; unhooked on the thread that set it.
struct HookTraits {
    using Handle = HHOOK;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::UnhookWindowsHookEx(h) != FALSE; }
};

using UniqueLocal = UniqueResource<LocalMemoryTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;
using UniqueHook = UniqueResource<HookTraits>;

}  // namespace velmora::win32
