#pragma once

// The few things every window does with its controls, in one place.

#include <string>

#include "platform/win32/Win32.h"

namespace velmora::win32 {

std::string TextOf(HWND control);
// Sets the text only when it differs, so no change notification goes out for nothing.
void SetText(HWND control, const std::string& text);
// For Unicode controls.
std::u16string WideTextOf(HWND control);
void SetWideText(HWND control, const std::u16string& text);

bool IsChecked(HWND button);
void SetChecked(HWND button, bool checked);

// Shows without activating, or hides.
void Show(HWND control, bool visible);

// The combo box's selected entry, -1 for none.
int ComboSelection(HWND combo);
void SetComboSelection(HWND combo, int index);

// Creates a child control at a place given in 96-DPI pixels, at the
// system's DPI, in the font.
HWND CreateControl(HWND parent, const char* className, const char* text, DWORD style, int id, RECT place96,
                   HGDIOBJ font);
// The same, empty, as a Unicode window, for controls that show names or
// texts beyond the code page (its W messages carry them whole).
HWND CreateWideControl(HWND parent, const wchar_t* className, DWORD style, int id, RECT place96, HGDIOBJ font);

// A plain child window that groups controls, like a dialog page. What its
// controls report (commands, notifications, drawing, colours) goes on to the
// top-level window, so one handler serves every panel.
HWND CreatePanel(HWND parent, int id, DWORD style = WS_VISIBLE);

}  // namespace velmora::win32
