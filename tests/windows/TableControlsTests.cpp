// A table's controls in a real window, laid out at the scale of the window's
// fonts: a larger message font grows them beyond what the DPI alone gives.

#include <gtest/gtest.h>

#include <array>

#include "platform/win32/Dpi.h"
#include "platform/win32/Handles.h"
#include "ui/TableControls.h"

namespace velmora::tests {

namespace {

using enum ControlKind;

LayoutRect PlaceIn(HWND parent, HWND control)
{
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

TEST(TableControls, AreMadeAndPlacedAtTheScaleOfTheFonts)
{
    const std::array rows{
        LayoutRow{10, Button, "&Go", {8, 8, 80, 24}},
        LayoutRow{5, Panel, "", {0, 40, 100, 60}},
        LayoutRow{11, CheckBox, "&On", {10, 10, 90, 50}, kStay, 5},
    };
    const LayoutTable table{"scaled", {100, 100}, rows};
    struct Case {
        SIZE scale;
        LayoutRect button;
        LayoutRect inPanel;
    };
    for (const Case& test : {
             Case{{96, 96}, {8, 8, 80, 24}, {10, 10, 90, 50}},
             // A message font a half wider and a quarter taller than the default.
             Case{{144, 120}, {12, 10, 120, 30}, {15, 13, 135, 62}},
         }) {
        const win32::UniqueWindow window(::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 400, nullptr,
                                                           nullptr, ::GetModuleHandleA(nullptr), nullptr));
        win32::MessageFonts fonts = win32::MessageFonts::ForDpi(96);
        fonts.scale = test.scale;
        TableControls controls(table);
        controls.Create(window.Get(), 96, fonts);
        EXPECT_EQ(PlaceIn(window.Get(), controls[10]), test.button) << test.scale.cx;
        EXPECT_EQ(PlaceIn(controls[5], controls[11]), test.inPanel) << test.scale.cx;
        // Laid out again, as on WM_SIZE, it keeps the fonts' scale.
        ::SetWindowPos(window.Get(), nullptr, 0, 0, 300, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        controls.Place(window.Get(), 96);
        EXPECT_EQ(PlaceIn(window.Get(), controls[10]), test.button) << test.scale.cx;
    }
}

}  // namespace

}  // namespace velmora::tests
