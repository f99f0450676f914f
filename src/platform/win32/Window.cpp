#include "platform/win32/Window.h"

#include "macros/Error.h"

namespace velmora::win32 {

void ShowErrorBox(HWND owner, const std::string& text)
{
    ::MessageBoxA(owner, ErrorBoxText(text).c_str(), "Velmora", MB_OK | MB_ICONERROR);
}

int ScaleForDpi(int pixels)
{
    static const int dpi = [] {
        const HDC screen = ::GetDC(nullptr);
        const int value = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen) {
            ::ReleaseDC(nullptr, screen);
        }
        return value > 0 ? value : 96;
    }();
    return ::MulDiv(pixels, dpi, 96);
}

}  // namespace velmora::win32
