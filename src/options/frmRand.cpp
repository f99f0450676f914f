#include "options/frmRand.h"

#include "platform/win32/Controls.h"

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

}  // namespace

void TRand::FormCreate()
{
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
    ::SetFocus(m_edit1);
}

std::optional<std::string> TRand::AskRandomWord(HWND owner, bool hex)
{
    TRand window;
    const std::string caption(hex ? kRandomHexCaption : kRandomCaption);
    if (window.RunModal(CentredDialog(kClassName, caption.c_str(), kClientWidth, kClientHeight, owner)) != IDOK) {
        return std::nullopt;
    }
    return RandomWord(hex, window.m_fields);
}

RandomFields TRand::Fields() const
{
    return {
        .minimum = win32::TextOf(m_edit1),
        .maximum = win32::TextOf(m_edit2),
        .leftPad = win32::IsChecked(m_checkBox1),
        .width = win32::TextOf(m_edit3),
    };
}

void TRand::CheckBox1Click()
{
    const bool shown = win32::IsChecked(m_checkBox1);
    win32::Show(m_label3, shown);
    win32::Show(m_edit3, shown);
}

void TRand::Button1Click()
{
    RandomFields fields = Fields();
    NormaliseFields(fields);
    ::SetWindowTextA(m_edit1, fields.minimum.c_str());
    ::SetWindowTextA(m_edit2, fields.maximum.c_str());
    ::SetWindowTextA(m_edit3, fields.width.c_str());
    if (MaximumBelowMinimum(fields)) {
        win32::ShowMessageBox(Handle(), std::string(kMinimumAboveMaximumText), "Velmora", MB_OK);
        return;
    }
    m_fields = fields;
    EndModal(IDOK);
}

void TRand::Button2Click()
{
    EndModal(IDCANCEL);
}

LRESULT TRand::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        FormCreate();
        return FALSE;
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
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace velmora
