#pragma once

// Where the program's code comes from. The exe imports only Windows'
// KnownDLLs, which the loader always takes from System32; any other DLL, and
// any function newer than Windows 7, is found here at run time. So a DLL
// dropped beside the program (a Downloads folder, an unpacked zip) is never
// loaded, and the program starts on every Windows its manifest names.

#include <string>

#include "platform/win32/Handles.h"

namespace velmora::win32 {

// Limits the search for DLLs to System32 for the rest of the process; the
// first thing WinMain does, before anything loads a DLL by name.
void RestrictDllSearchToSystem32();

// The function of a DLL the process already holds (kernel32, user32), or
// null on a Windows that predates it.
template <typename Function>
Function* SystemFunction(const wchar_t* module, const char* name)
{
    const HMODULE loaded = ::GetModuleHandleW(module);
    const FARPROC found = loaded != nullptr ? ::GetProcAddress(loaded, name) : nullptr;
    // void (*)() converts to any function type without a warning.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(found));
}

// A DLL of System32 that is no KnownDLL, loaded by its full System32 path on
// first use and freed with the object.
class SystemLibrary {
public:
    explicit SystemLibrary(std::wstring fileName) : m_fileName(std::move(fileName)) {}

    // Null when the DLL or the function is missing.
    template <typename Function>
    Function* Get(const char* name)
    {
        const FARPROC found = Load() ? ::GetProcAddress(m_module.Get(), name) : nullptr;
        return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(found));
    }

private:
    bool Load();

    std::wstring m_fileName;
    UniqueModule m_module;
};

}  // namespace velmora::win32
