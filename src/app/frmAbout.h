#pragma once

// The About box: the product picture, the version, a link to the product's
// home page, the maker's notice and OK. Modal; at most one is open.

#include "platform/win32/JpegImage.h"
#include "platform/win32/Window.h"

namespace velmora {

class TAbout : public win32::Window<TAbout> {
public:
    static constexpr const char* kClassName = "TAbout";

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Closes the welcome window, then shows the box modally and returns when
    // it is closed. While one is open, another call brings it to the front.
    static void ShowAboutBox(HWND owner);

private:
    void FormCreate();
    void Button1Click();
    void LinkClick();
    void Paint();

    win32::DecodedPicture m_picture;
    win32::UniqueGdiObject m_font;
    win32::UniqueGdiObject m_boldFont;
    win32::UniqueGdiObject m_linkFont;
    HWND m_link = nullptr;
};

inline void ShowAboutBox(HWND owner)
{
    TAbout::ShowAboutBox(owner);
}

// The open About box, or nullptr.
HWND AboutBoxHandle();

}  // namespace velmora
