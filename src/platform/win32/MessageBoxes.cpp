#include "platform/win32/MessageBoxes.h"

#include "macros/Error.h"
#include "platform/win32/ModalWindows.h"

namespace velmora::win32 {

int ShowMessageBox(HWND owner, const std::string& text, const char* caption, UINT flags)
{
    const ModalScope scope(owner);
    return ::MessageBoxA(owner, text.c_str(), caption, flags);
}

int ShowMessageBox(HWND owner, const std::u16string& text, const char* caption, UINT flags)
{
    const ModalScope scope(owner);
    // The captions are ASCII.
    const std::wstring wideCaption(caption, caption + std::char_traits<char>::length(caption));
    return ::MessageBoxW(owner, reinterpret_cast<LPCWSTR>(text.c_str()), wideCaption.c_str(), flags);
}

void ShowErrorBox(HWND owner, const std::string& text)
{
    ShowMessageBox(owner, ErrorBoxText(text), "Velmora", MB_OK | MB_ICONERROR);
}

}  // namespace velmora::win32
