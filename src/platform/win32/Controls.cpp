#include "platform/win32/Controls.h"

namespace velmora::win32 {

std::string TextOf(HWND control)
{
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void SetText(HWND control, const std::string& text)
{
    if (TextOf(control) != text) {
        ::SetWindowTextA(control, text.c_str());
    }
}

std::u16string WideTextOf(HWND control)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return {text.begin(), text.end()};
}

void SetWideText(HWND control, const std::u16string& text)
{
    if (WideTextOf(control) != text) {
        ::SetWindowTextW(control, std::wstring(text.begin(), text.end()).c_str());
    }
}

bool IsChecked(HWND button)
{
    return ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND button, bool checked)
{
    ::SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Show(HWND control, bool visible)
{
    ::ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
}

int ComboSelection(HWND combo)
{
    return static_cast<int>(::SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

void SetComboSelection(HWND combo, int index)
{
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

}  // namespace velmora::win32
