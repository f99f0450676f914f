#pragma once

// The options window's controls as one table, and where the window opens on
// the work area.

#include <span>

#include "options/OptionsEditor.h"
#include "ui/Layout.h"

namespace velmora {

// A control of the options window: its row of the layout table and what it
// holds. A bound control no other code refers to needs no id: the table
// gives it one after the named ones.
struct OptionsControl {
    LayoutRow layout;
    FieldBinding binding{};
};

// Every control of both pages, the page control and the buttons below it,
// in z-order; a macro's fields load and commit in this order.
extern const std::span<const OptionsControl> kOptionsControls;

// The same controls' layout rows, row for row; the status bar takes its own
// height below the client size given.
extern const LayoutTable kOptionsTable;

// A window of that outer size centred on the work area and kept wholly on
// it: a window larger than the work area is cut down to it.
LayoutRect CentreOnWorkArea(int width, int height, const LayoutRect& workArea);

}  // namespace velmora
