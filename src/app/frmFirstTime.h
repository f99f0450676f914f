#pragma once

// The welcome window shown on the first run. It is modeless and there is
// never more than one.

#include <functional>
#include <memory>

#include "app/AppWindowTables.h"
#include "platform/win32/JpegImage.h"
#include "platform/win32/Window.h"
#include "ui/TableControls.h"

namespace velmora {

class TFirstTime final : public win32::Window<TFirstTime> {
public:
    static constexpr const char* kClassName = "TFirstTime";

    // Creates and shows the window, the focus on OK.
    bool FormCreate();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // OK, Esc and the close box close the window.
    void OnOk() override;
    void OnCancel() override;
    void OnHelp() override;
    void FormPaint();

    TableControls m_controls{kWelcomeTable};
    win32::DecodedPicture m_picture;
    win32::DecodedPicture m_smallPicture;
};

// Holds the one welcome window. A window the user closed leaves an empty
// object here until the next Show.
class WelcomeWindowSlot {
public:
    // Creates the window and shows it without waiting. onCreate runs once the
    // window exists (the caller writes the auto-start value there). While it
    // is open, a second call only brings it to the front.
    void Show(const std::function<void()>& onCreate);

private:
    std::unique_ptr<TFirstTime> m_window;
};

// Closes the welcome window; does nothing when none is open.
void CloseWelcomeWindow();

// The open welcome window, or nullptr.
HWND WelcomeWindowHandle();

}  // namespace velmora
