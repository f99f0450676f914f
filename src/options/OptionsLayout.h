#pragma once

// Where the options window's controls go for a given client size. All
// lengths are pixels at the screen's DPI.

#include "ui/Layout.h"

namespace velmora {

struct OptionsLayoutInput {
    int clientWidth = 0;
    int clientHeight = 0;
    // The margin: the page control's left offset.
    int margin = 8;
    LayoutSize okButton;
    LayoutSize helpButton;
    LayoutSize printButton;
    LayoutSize addButton;
    LayoutSize deleteButton;
    int macroListLabelHeight = 0;
    // The edit panel's width: the right edge of the hot-key list inside it.
    int editPanelWidth = 0;
    // How far the page area lies inside the page control (its tabs and border).
    int pageInsetLeft = 0;
    int pageInsetTop = 0;
    int pageInsetRight = 0;
    int pageInsetBottom = 0;
};

struct OptionsLayout {
    // In the window's client area.
    LayoutRect pageControl;
    LayoutRect page;
    LayoutRect help;
    LayoutRect print;
    LayoutRect ok;
    // In the page.
    LayoutRect macroListLabel;
    LayoutRect macroList;
    LayoutRect editPanel;
    LayoutRect addMacro;
    LayoutRect deleteMacro;
    // How much wider the window must be for the two list buttons to fit
    // under the list; 0 when they fit.
    int widthShortfall = 0;
};

OptionsLayout LayOutOptions(const OptionsLayoutInput& input);

// A window of that outer size centred on the work area and kept wholly on
// it: a window larger than the work area is cut down to it.
LayoutRect CentreOnWorkArea(int width, int height, const LayoutRect& workArea);

}  // namespace velmora
