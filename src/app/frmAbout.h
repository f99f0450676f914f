#pragma once

// The About box: the product picture, the version, a link to the product's
// home page, the maker's notice and OK. Modal; at most one is open.

#include "app/AppWindowTables.h"
#include "platform/win32/JpegImage.h"
#include "platform/win32/Window.h"
#include "ui/TableControls.h"

namespace velmora {

class TAbout final : public win32::Window<TAbout> {
public:
    static constexpr const char* kClassName = "TAbout";

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Closes the welcome window, then shows the box modally and returns when
    // it is closed. While one is open, another call brings it to the front.
    static void ShowAboutBox(HWND owner);

private:
    void OnHelp() override;
    void lnkHomePageClick();
    void imgPictureDraw(const DRAWITEMSTRUCT& item);

    TableControls m_controls{kAboutTable};
    win32::DecodedPicture m_picture;
};

inline void ShowAboutBox(HWND owner)
{
    TAbout::ShowAboutBox(owner);
}

// The open About box, or nullptr.
HWND AboutBoxHandle();

}  // namespace velmora
