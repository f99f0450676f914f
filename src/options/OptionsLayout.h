#pragma once

// The options window's controls as a layout table, and where the window
// opens on the work area.

#include "ui/Layout.h"

namespace velmora {

// Every control of both pages, the page control and the buttons below it;
// the status bar takes its own height below the client size given.
extern const LayoutTable kOptionsTable;

// A window of that outer size centred on the work area and kept wholly on
// it: a window larger than the work area is cut down to it.
LayoutRect CentreOnWorkArea(int width, int height, const LayoutRect& workArea);

}  // namespace velmora
