#include "options/frmRand.h"

namespace velmora {

namespace {

constexpr int kClientWidth = 345;
constexpr int kClientHeight = 145;

enum ControlId : int {
    kEdit1 = 101,
    kEdit2,
    kEdit3,
    kCheckBox1,
};

std::string TextOf(HWND control)
{
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

bool TRand::FormCreate(HWND owner, bool hex)
{
    const std::string caption(hex ? kRandomHexCaption : kRandomCaption);
    if (!CreateCentredDialog(kClassName, caption.c_str(), kClientWidth, kClientHeight, owner)) {
        return false;
    }
    m_font = win32::CreateMessageFont();
    const HGDIOBJ font = m_font.Get();
    constexpr DWORD label = SS_LEFT | SS_NOPREFIX;
    constexpr DWORD edit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    win32::CreateControl(Handle(), "STATIC", "Minimum value:", label, 0, {16, 19, 90, 13}, font);
    m_edit1 = win32::CreateControl(Handle(), "EDIT", "", edit, kEdit1, {112, 16, 105, 21}, font);
    win32::CreateControl(Handle(), "STATIC", "Maximum value:", label, 0, {16, 47, 90, 13}, font);
    m_edit2 = win32::CreateControl(Handle(), "EDIT", "", edit, kEdit2, {112, 44, 105, 21}, font);
    m_checkBox1 = win32::CreateControl(Handle(), "BUTTON", "Left pad with zeros", WS_TABSTOP | BS_AUTOCHECKBOX,
                                       kCheckBox1, {16, 74, 160, 17}, font);
    m_label3 = win32::CreateControl(Handle(), "STATIC", "Character width:", label, 0, {180, 76, 90, 13}, font);
    m_edit3 = win32::CreateControl(Handle(), "EDIT", "", edit, kEdit3, {272, 72, 57, 21}, font);
    win32::CreateControl(Handle(), "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, {176, 106, 73, 25}, font);
    win32::CreateControl(Handle(), "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, {256, 106, 73, 25},
                         font);
    CheckBox1Click();
    return true;
}

std::optional<std::string> TRand::AskRandomWord(HWND owner, bool hex)
{
    TRand window;
    if (!window.FormCreate(owner, hex)) {
        return std::nullopt;
    }
    win32::RunModal(window.Handle(), owner, window.m_closed, window.m_edit1);
    std::optional<std::string> word;
    if (!window.m_cancelled && window.Handle()) {
        word = RandomWord(hex, window.Fields());
    }
    if (window.Handle()) {
        ::DestroyWindow(window.Handle());
    }
    return word;
}

RandomFields TRand::Fields() const
{
    return {
        .minimum = TextOf(m_edit1),
        .maximum = TextOf(m_edit2),
        .leftPad = ::SendMessageA(m_checkBox1, BM_GETCHECK, 0, 0) == BST_CHECKED,
        .width = TextOf(m_edit3),
    };
}

void TRand::CheckBox1Click()
{
    const int show = ::SendMessageA(m_checkBox1, BM_GETCHECK, 0, 0) == BST_CHECKED ? SW_SHOWNA : SW_HIDE;
    ::ShowWindow(m_label3, show);
    ::ShowWindow(m_edit3, show);
}

void TRand::Button1Click()
{
    RandomFields fields = Fields();
    NormaliseFields(fields);
    ::SetWindowTextA(m_edit1, fields.minimum.c_str());
    ::SetWindowTextA(m_edit2, fields.maximum.c_str());
    ::SetWindowTextA(m_edit3, fields.width.c_str());
    if (MaximumBelowMinimum(fields)) {
        ::MessageBoxA(Handle(), std::string(kMinimumAboveMaximumText).c_str(), "Velmora", MB_OK);
        return;
    }
    m_cancelled = false;
    win32::EndModal(Handle(), m_closed);
}

void TRand::Button2Click()
{
    win32::EndModal(Handle(), m_closed);
}

LRESULT TRand::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: Button1Click(); return 0;
        case IDCANCEL: Button2Click(); return 0;
        case kCheckBox1:
            if (HIWORD(wParam) == BN_CLICKED) {
                CheckBox1Click();
            }
            return 0;
        default: break;
        }
        break;
    case WM_CLOSE:
        Button2Click();
        return 0;
    case WM_DESTROY:
        // Destroyed from outside: the modal loop must not wait for a click.
        m_closed = true;
        break;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace velmora
