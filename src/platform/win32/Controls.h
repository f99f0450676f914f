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

}  // namespace velmora::win32
