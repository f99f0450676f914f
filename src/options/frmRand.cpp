#include "options/frmRand.h"

#include "platform/win32/Controls.h"
#include "platform/win32/MessageBoxes.h"
#include "ui/WebLinks.h"

namespace velmora {

void TRand::OnStart()
{
    chkLeftPadClick();
}

std::optional<std::string> TRand::AskRandomWord(HWND owner, bool hex)
{
    TRand window;
    const std::string caption(hex ? kRandomHexCaption : kRandomCaption);
    if (window.RunModal(CentredDialog(kClassName, caption.c_str(), owner, window.m_controls)) != IDOK) {
        return std::nullopt;
    }
    return RandomWord(hex, window.m_fields);
}

RandomFields TRand::Fields() const
{
    return {
        .minimum = win32::TextOf(m_controls[rand_id::kMinimum]),
        .maximum = win32::TextOf(m_controls[rand_id::kMaximum]),
        .leftPad = win32::IsChecked(m_controls[rand_id::kLeftPad]),
        .width = win32::TextOf(m_controls[rand_id::kWidth]),
    };
}

void TRand::chkLeftPadClick()
{
    const bool shown = win32::IsChecked(m_controls[rand_id::kLeftPad]);
    win32::Show(m_controls[rand_id::kWidthLabel], shown);
    win32::Show(m_controls[rand_id::kWidth], shown);
}

void TRand::OnOk()
{
    RandomFields fields = Fields();
    NormaliseFields(fields);
    ::SetWindowTextA(m_controls[rand_id::kMinimum], fields.minimum.c_str());
    ::SetWindowTextA(m_controls[rand_id::kMaximum], fields.maximum.c_str());
    ::SetWindowTextA(m_controls[rand_id::kWidth], fields.width.c_str());
    if (MaximumBelowMinimum(fields)) {
        win32::ShowMessageBox(Handle(), std::string(kMinimumAboveMaximumText), "Velmora", MB_OK);
        return;
    }
    m_fields = fields;
    Close(IDOK);
}

void TRand::OnHelp()
{
    OpenHelpTopic(Handle(), "tags.htm");
}

LRESULT TRand::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == rand_id::kLeftPad && HIWORD(wParam) == BN_CLICKED) {
        chkLeftPadClick();
        return 0;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace velmora
