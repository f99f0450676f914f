#pragma once

// The welcome window shown on the first run. It is modeless, frees itself
// when closed, and there is never more than one.

#include <functional>

#include "platform/win32/JpegImage.h"
#include "platform/win32/Window.h"

namespace velmora {

class TFirstTime : public win32::Window<TFirstTime> {
public:
    static constexpr const char* kClassName = "TFirstTime";

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend void ShowWelcomeWindow(std::function<void()> onCreate);

    bool FormCreate();
    void Button1Click();
    void Paint();

    win32::DecodedPicture m_picture;
    win32::DecodedPicture m_smallPicture;
    win32::UniqueGdiObject m_buttonFont;
    win32::UniqueGdiObject m_textFont;
    // Set once the window is handed to itself; it then frees itself when destroyed.
    bool m_ownsItself = false;
};

// Creates the welcome window and shows it without waiting. onCreate runs once
// the window exists (the caller writes the auto-start value there). While a
// welcome window is open, a second call only brings it to the front.
void ShowWelcomeWindow(std::function<void()> onCreate);

// Closes the welcome window; does nothing when none is open.
void CloseWelcomeWindow();

// The open welcome window, or nullptr.
HWND WelcomeWindowHandle();

}  // namespace velmora
